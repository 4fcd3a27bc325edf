#pragma once
// The application profiles of one check run, checked as they arrive: from a whole query
// result, or part by part from a query answered in parts. Each profile is named, loaded,
// checked and then reduced to what the rules across profiles need; its findings wait in an
// array of their own, since the run's findings about the ASI map and the routing rules stand
// before them.

#include <cstddef>
#include <memory>
#include <vector>

#include "checker/appcheck.h"
#include "checker/array.h"
#include "checker/checkmessage.h"
#include "s100/s100.h"

// The application checkers of a run in index order. A checker cannot move, so they are kept in
// blocks as they were made: one per answer part.
class ApplicationCheckers final {
public:
    // count new unnamed checkers after the others; null when they cannot be allocated. Throws
    // std::bad_alloc when the block cannot be kept.
    AppProfChecker* AddBlock(std::size_t count);

    std::size_t Count() const { return m_count; }

    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const Block& block : m_blocks) {
            for (std::size_t i = 0; i < block.count; ++i) {
                visit(block.checkers[i]);
            }
        }
    }

private:
    struct Block {
        std::unique_ptr<AppProfChecker[]> checkers;
        std::size_t count;
    };
    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
};

class ApplicationRun final {
public:
    ApplicationRun();

    // Names and checks the profiles of a query result or of one part of it (KEY_ProfileNames
    // and KEY_ProfileContents, paired by index; names beyond the contents are not read). A
    // result that cannot be read, or running out of memory, fails the whole run: false.
    bool TakeProfiles(CTkvs result);

    // The handler of a query answered in parts; context is the ApplicationRun.
    static CTstatus TakePart(CTkvs part, void* context);

    // The profiles could not all be read: there are no application checkers.
    void MarkFailed();
    bool Failed() const { return m_bFailed; }

    const ApplicationCheckers& Checkers() const { return m_checkers; }
    // Moves the profiles' findings, in index order, behind what messages holds.
    void MoveFindingsTo(Array<CheckMessage>& messages);

private:
    ApplicationCheckers m_checkers;
    Array<CheckMessage> m_findings;
    std::unique_ptr<AppProfChecker> m_pReader;  // loads and checks each profile in turn
    bool m_bFailed;
};
