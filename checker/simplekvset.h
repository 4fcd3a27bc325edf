#pragma once
// SimpleKVSet: the checker's scoped KV set, one empty set per query result, made with the object
// and destroyed with it.

#include "s100/kvs/ownedset.h"

using SimpleKVSet = s100::OwnedSet;
