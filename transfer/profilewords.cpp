#include "transfer/profilewords.h"

#include <QByteArray>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Control bytes and DEL never stand in a name a server keeps; they mark binary junk.
bool IsWordByte(char c) {
    return c != ' ' && s100::isNameByte(c);
}

class WordReader final {
public:
    WordReader(std::string_view head, bool bWholeFile) : m_head(head), m_bWholeFile(bWholeFile) {}

    // The next word, or empty when there is none or it is no name or class.
    std::string Next() {
        while (m_pos < m_head.size() && IsWhiteSpace(m_head[m_pos]))
            ++m_pos;
        const std::size_t start = m_pos;
        while (m_pos < m_head.size() && !IsWhiteSpace(m_head[m_pos])) {
            if (!IsWordByte(m_head[m_pos]) || m_pos - start >= s100::kMaxProfileNameBytes)
                return Fail();
            ++m_pos;
        }
        if (m_pos == m_head.size() && !m_bWholeFile)
            return Fail();  // the word may go on beyond what was read
        return std::string(m_head.substr(start, m_pos - start));
    }

private:
    std::string Fail() {
        m_pos = m_head.size();
        return {};
    }

    std::string_view m_head;
    bool m_bWholeFile;
    std::size_t m_pos = 0;
};

}  // namespace

ProfileWords FirstTwoWords(std::string_view head, bool bWholeFile) {
    WordReader reader(head, bWholeFile);
    ProfileWords words;
    words.name = reader.Next();
    if (!words.name.empty())
        words.profileClass = reader.Next();
    return words;
}

ProfileWords ReadProfileWords(QIODevice& file) {
    QByteArray head(static_cast<qsizetype>(kMaxProfileHeadBytes), '\0');
    qsizetype filled = 0;
    bool bWholeFile = false;
    while (filled < head.size()) {
        const qint64 got = file.read(head.data() + filled, head.size() - filled);
        if (got <= 0) {
            bWholeFile = got == 0;
            break;
        }
        filled += static_cast<qsizetype>(got);
    }
    if (filled == head.size())
        bWholeFile = file.atEnd();
    return FirstTwoWords(std::string_view(head.constData(), static_cast<std::size_t>(filled)),
                         bWholeFile);
}
