#include "tools/tlvedit/profilename.h"

#include <algorithm>

NameProblem CheckProfileName(const QString& name) {
    if (name.isEmpty() ||
        std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); }))
        return NameProblem::EmptyOrSpace;
    // Names cross to the server as Latin-1 bytes; anything else would be changed on the way.
    const bool bBad = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() > 0xFF || c.category() == QChar::Other_Control;
    });
    if (bBad)
        return NameProblem::BadCharacter;
    if (static_cast<std::size_t>(name.size()) > kMaxProfileTextLength)
        return NameProblem::TooLong;
    return NameProblem::None;
}
