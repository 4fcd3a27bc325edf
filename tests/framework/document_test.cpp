#include "framework/document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Every update and title change of every view, in the order they happened.
using Journal = std::vector<std::string>;

class RecordingView final : public CView {
public:
    RecordingView(std::string name, Journal& journal)
        : m_name(std::move(name)), m_journal(journal) {}

    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override {
        m_journal.push_back(m_name + " hint " + std::to_string(lHint) +
                            (pSender != nullptr ? " from sender" : "") +
                            (pHint != nullptr ? " with object" : ""));
        if (m_onUpdate)
            m_onUpdate();
    }
    void OnDocumentTitleChanged() override {
        m_journal.push_back(m_name + " title " + GetDocument()->GetTitle().toStdString());
    }

    std::function<void()> m_onUpdate;

private:
    std::string m_name;
    Journal& m_journal;
};

TEST(Document, UpdateAllViewsReachesEveryViewInAttachOrderWithHintsInOrder) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal), b("b", journal), c("c", journal);
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&c);

    for (long hint : {0L, 1L, 2L, 3L})
        doc.UpdateAllViews(nullptr, hint);

    EXPECT_EQ(journal,
              (Journal{"a hint 0", "b hint 0", "c hint 0", "a hint 1", "b hint 1", "c hint 1",
                       "a hint 2", "b hint 2", "c hint 2", "a hint 3", "b hint 3", "c hint 3"}));
}

TEST(Document, SenderIsSkippedAndHintObjectIsPassed) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal), b("b", journal);
    doc.AddView(&a);
    doc.AddView(&b);
    CObject hintObject;

    doc.UpdateAllViews(&a, 2, &hintObject);

    EXPECT_EQ(journal, (Journal{"b hint 2 from sender with object"}));
}

TEST(Document, ViewRemovedDuringAnUpdateIsNotCalled) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal);
    auto b = std::make_unique<RecordingView>("b", journal);
    RecordingView c("c", journal);
    doc.AddView(&a);
    doc.AddView(b.get());
    doc.AddView(&c);
    a.m_onUpdate = [&] { b.reset(); };  // as a frame closing during an update would

    doc.UpdateAllViews(nullptr, 1);

    EXPECT_EQ(journal, (Journal{"a hint 1", "c hint 1"}));
    EXPECT_EQ(doc.GetViews(), (std::vector<CView*>{&a, &c}));
}

TEST(Document, ViewsAttachOnceMoveBetweenDocumentsAndDetachOnDestruction) {
    Journal journal;
    CDocument first, second;
    RecordingView a("a", journal);
    {
        RecordingView b("b", journal);
        first.AddView(&a);
        first.AddView(&a);
        first.AddView(&b);
        EXPECT_EQ(first.GetViews().size(), 2u);
        EXPECT_EQ(b.GetDocument(), &first);

        second.AddView(&a);
        EXPECT_EQ(a.GetDocument(), &second);
        EXPECT_EQ(first.GetViews(), (std::vector<CView*>{&b}));
    }
    EXPECT_TRUE(first.GetViews().empty());

    second.RemoveView(&a);
    second.RemoveView(&a);
    EXPECT_EQ(a.GetDocument(), nullptr);
    EXPECT_TRUE(second.GetViews().empty());
}

TEST(Document, DestroyedDocumentLeavesItsViewsWithoutDocument) {
    Journal journal;
    RecordingView a("a", journal);
    {
        CDocument doc;
        doc.AddView(&a);
    }
    EXPECT_EQ(a.GetDocument(), nullptr);
}

TEST(Document, PathNameBecomesTitleAndTitleChangesReachTheViews) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal), b("b", journal);
    doc.AddView(&a);
    doc.AddView(&b);

    doc.SetPathName("Sales_Server");
    EXPECT_EQ(doc.GetPathName(), "Sales_Server");
    EXPECT_EQ(doc.GetTitle(), "Sales_Server");

    doc.SetTitle(doc.GetTitle() + " [Disconnected]");
    EXPECT_EQ(doc.GetTitle(), "Sales_Server [Disconnected]");
    EXPECT_EQ(doc.GetPathName(), "Sales_Server");

    EXPECT_EQ(journal, (Journal{"a title Sales_Server", "b title Sales_Server",
                                "a title Sales_Server [Disconnected]",
                                "b title Sales_Server [Disconnected]"}));
}

TEST(Document, InitialUpdateIsAFullUpdateOfThatViewOnly) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal), b("b", journal);
    doc.AddView(&a);
    doc.AddView(&b);

    b.OnInitialUpdate();

    EXPECT_EQ(journal, (Journal{"b hint 0"}));
}

TEST(Document, NewAndOpenDefaultsAcceptAndNewClearsPathAndTitle) {
    CDocument doc;
    doc.SetPathName("S1");
    EXPECT_TRUE(doc.OnOpenDocument("S1"));
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_TRUE(doc.GetTitle().isEmpty());
}

// A document that, like the server document, does its own closing work before the framework's.
class ClosingDocument final : public CDocument {
public:
    explicit ClosingDocument(Journal& journal) : m_journal(journal) {}
    ~ClosingDocument() override { m_journal.push_back("document destroyed"); }
    void OnCloseDocument() override {
        if (IsClosing())
            return;
        m_journal.push_back("own close work");
        CDocument::OnCloseDocument();
    }

private:
    Journal& m_journal;
};

TEST(Document, CloseRunsTheOwnersHandlerWhichMayDestroyTheDocument) {
    Journal journal;
    auto doc = std::make_unique<ClosingDocument>(journal);
    auto view = std::make_unique<RecordingView>("a", journal);
    doc->AddView(view.get());
    int handlerCalls = 0;
    doc->SetCloseHandler([&](CDocument& closing) {
        ++handlerCalls;
        EXPECT_EQ(&closing, doc.get());
        view.reset();               // the frames go first
        closing.OnCloseDocument();  // a frame closing the document again: ignored
        doc.reset();                // then the document
    });

    doc->OnCloseDocument();

    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(journal, (Journal{"own close work", "document destroyed"}));
}

TEST(Document, CloseWithoutHandlerDetachesTheViews) {
    Journal journal;
    CDocument doc;
    RecordingView a("a", journal);
    doc.AddView(&a);

    doc.OnCloseDocument();

    EXPECT_EQ(a.GetDocument(), nullptr);
    EXPECT_TRUE(doc.GetViews().empty());
}

}  // namespace
