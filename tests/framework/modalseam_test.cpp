#include "framework/modalseam.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A seam that only notes the calls, to see which seam is installed.
class NamedSeam final : public ModalSeam {
public:
    explicit NamedSeam(std::vector<std::string>& calls, std::string name)
        : m_calls(calls), m_name(std::move(name)) {}
    int RunDialog(QDialog& /*dialog*/) override { return IDCANCEL; }
    int MessageBox(const QString& text, const QString& /*caption*/, unsigned /*flags*/,
                   QWidget* /*owner*/, const QString& /*details*/) override {
        m_calls.push_back(m_name + ": " + text.toStdString());
        return IDOK;
    }
    void MessageBeep(unsigned /*type*/) override { m_calls.push_back(m_name + ": beep"); }

private:
    std::vector<std::string>& m_calls;
    std::string m_name;
};

TEST(ModalSeam, GuardsNestAndRestoreThePreviousSeam) {
    std::vector<std::string> calls;
    ModalSeam& unattended = Modal();
    NamedSeam program(calls, "program"), test(calls, "test");
    {
        ModalSeamGuard programGuard(program);
        Modal().MessageBox("one", "", MB_OK);
        {
            ModalSeamGuard testGuard(test);
            Modal().MessageBox("two", "", MB_OK);
            Modal().MessageBeep(MB_ICONEXCLAMATION);
        }
        Modal().MessageBox("three", "", MB_OK);
    }
    EXPECT_EQ(&Modal(), &unattended);
    EXPECT_EQ(calls, (std::vector<std::string>{"program: one", "test: two", "test: beep",
                                               "program: three"}));
}

TEST(ModalSeam, UnattendedSeamAnswersWithTheDefaultButton) {
    EXPECT_EQ(Modal().MessageBox("nobody installed a seam", "Error", 0x1030), IDOK);
    EXPECT_EQ(Modal().MessageBox("question", "Q", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST(ModalSeam, DialogResultsFollowTheMessageBoxConvention) {
    EXPECT_EQ(ModalResultOf(1), IDOK);       // accepted
    EXPECT_EQ(ModalResultOf(0), IDCANCEL);   // rejected
    EXPECT_EQ(ModalResultOf(49197), 49197);  // a button of the dialog's own
}

TEST(ModalSeam, ButtonsAndDefaultAnswersPerFlags) {
    using Ids = std::vector<int>;
    const auto buttons = [](unsigned flags) {
        const auto span = MessageBoxButtons(flags);
        return Ids(span.begin(), span.end());
    };
    EXPECT_EQ(buttons(0x1030), (Ids{IDOK}));
    EXPECT_EQ(buttons(MB_OKCANCEL), (Ids{IDOK, IDCANCEL}));
    EXPECT_EQ(buttons(MB_ABORTRETRYIGNORE), (Ids{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(buttons(MB_YESNOCANCEL | MB_ICONQUESTION), (Ids{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(buttons(MB_YESNO), (Ids{IDYES, IDNO}));
    EXPECT_EQ(buttons(MB_RETRYCANCEL), (Ids{IDRETRY, IDCANCEL}));
    EXPECT_EQ(buttons(0xE), (Ids{IDOK}));

    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OKCANCEL), IDOK);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO | MB_DEFBUTTON3), IDYES);  // no third button
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OK | MB_DEFBUTTON2), IDOK);
}

}  // namespace
