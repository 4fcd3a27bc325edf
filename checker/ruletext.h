#pragma once
// The texts of rule findings: a string-table text with its %s placeholders filled.

#include <initializer_list>
#include <string_view>

#include "checker/checkmessage.h"

// Rule texts are formatted into a buffer of this many characters, the terminator included.
inline constexpr std::size_t kRuleTextBufferSize = 4000;

// The text of textId with each %s replaced by the next argument and %% by one %. A %s without
// an argument left becomes empty. A result longer than the buffer holds is cut after its
// first kRuleTextBufferSize - 1 characters, as a printf into that buffer would cut it.
std::string FormatRuleText(unsigned textId, std::initializer_list<std::string_view> args);

// A finding about profileName: its text is profileName, ": " and the formatted rule text.
CheckMessage RuleFinding(CE_Type type, const std::string& profileName, unsigned textId,
                         std::initializer_list<std::string_view> args);
