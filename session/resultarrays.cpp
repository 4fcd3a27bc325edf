#include "session/resultarrays.h"

#include <limits>
#include <new>
#include <span>
#include <vector>

namespace {

// Reads typed arrays one after another; after the first failure the later reads are skipped.
class ArrayReader final {
public:
    ArrayReader(CTkvs results, bool missingIsEmpty)
        : m_results(results), m_bMissingIsEmpty(missingIsEmpty) {}

    std::span<const char* const> Strings(CTsymbol key) {
        return Read<const char*>(
            [&](const char* const** elements, uint32_t* count, CTerror* error) {
                return CTkvs_GetStringArray(m_results, key, elements, count, error);
            });
    }
    std::span<const CTsymbol> Symbols(CTsymbol key) {
        return Read<CTsymbol>([&](const CTsymbol** elements, uint32_t* count, CTerror* error) {
            return CTkvs_GetSymbolArray(m_results, key, elements, count, error);
        });
    }
    std::span<const CTbool> Bools(CTsymbol key) {
        return Read<CTbool>([&](const CTbool** elements, uint32_t* count, CTerror* error) {
            return CTkvs_GetBoolArray(m_results, key, elements, count, error);
        });
    }

    // The common length of every array read, once all reads succeeded and agree.
    ArrayCopyResult Finish(int& count) const {
        count = 0;
        if (m_result.status != CT_SUCCESS)
            return m_result;
        for (std::size_t length : m_lengths) {
            if (length != m_lengths.front())
                return {CT_FAILURE, CTerr_InvalidArgument};
        }
        const std::size_t length = m_lengths.empty() ? 0 : m_lengths.front();
        if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            return {CT_FAILURE, CTerr_LimitExceeded};
        count = static_cast<int>(length);
        return m_result;
    }

private:
    template <typename Element, typename Get>
    std::span<const Element> Read(Get get) {
        if (m_result.status != CT_SUCCESS)
            return {};
        const Element* elements = nullptr;
        uint32_t count = 0;
        CTerror error = CTerr_NoError;
        const CTstatus status = get(&elements, &count, &error);
        if (status != CT_SUCCESS && !(m_bMissingIsEmpty && error == CTerr_NotFound)) {
            m_result = {status, error};
            return {};
        }
        if (status != CT_SUCCESS || elements == nullptr)
            count = 0;
        m_lengths.push_back(count);
        return {elements, count};
    }

    CTkvs m_results;
    bool m_bMissingIsEmpty;
    ArrayCopyResult m_result;
    std::vector<std::size_t> m_lengths;
};

// Owned copies of the arrays read, all of one length; Failed once any could not be allocated.
class Allocation final {
public:
    explicit Allocation(int count) : m_nCount(count) {}

    std::unique_ptr<SC_String[]> Copy(std::span<const char* const> from) {
        auto to = Allocate<SC_String>();
        for (std::size_t i = 0; to && i < from.size(); ++i)
            to[i] = from[i];
        return to;
    }
    template <typename Target, typename Source>
    std::unique_ptr<Target[]> Copy(std::span<const Source> from) {
        auto to = Allocate<Target>();
        for (std::size_t i = 0; to && i < from.size(); ++i)
            to[i] = static_cast<Target>(from[i]);
        return to;
    }
    int Count() const { return m_nCount; }
    bool Failed() const { return m_bFailed; }

private:
    template <typename T>
    std::unique_ptr<T[]> Allocate() {
        std::unique_ptr<T[]> to(new (std::nothrow) T[static_cast<std::size_t>(m_nCount)]);
        m_bFailed = m_bFailed || !to;
        return to;
    }

    int m_nCount;
    bool m_bFailed = false;
};

// Once every read succeeded and there is a row, makeCopies copies the arrays read with the
// Allocation it is given; out is left empty otherwise.
template <typename Arrays, typename MakeCopies>
ArrayCopyResult CopyWhenRead(const ArrayReader& reader, Arrays& out, MakeCopies makeCopies) {
    out = {};
    int count = 0;
    const ArrayCopyResult result = reader.Finish(count);
    if (result.status != CT_SUCCESS || count == 0)
        return result;
    Allocation allocation(count);
    Arrays arrays = makeCopies(allocation);
    if (allocation.Failed())
        return {CT_NOMEMORY, CTerr_NoMemory};
    out = std::move(arrays);
    return result;
}

}  // namespace

ArrayCopyResult CopyProfileArrays(CTkvs results, bool missingIsEmpty, ProfileArrays& out) {
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_ProfileNames);
    const auto classes = reader.Strings(KEY_ProfileClasses);
    return CopyWhenRead(reader, out, [&](Allocation& allocation) {
        return ProfileArrays{allocation.Copy(names), allocation.Copy(classes), allocation.Count()};
    });
}

ArrayCopyResult CopyServiceArrays(CTkvs results, bool missingIsEmpty, ServiceArrays& out) {
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_ServiceNames);
    const auto states = reader.Symbols(KEY_ServiceStates);
    const auto types = reader.Symbols(SVC_StartType);
    const auto disabled = reader.Bools(SVC_Disabled);
    return CopyWhenRead(reader, out, [&](Allocation& allocation) {
        return ServiceArrays{allocation.Copy(names), allocation.Copy<unsigned long>(states),
                             allocation.Copy<unsigned long>(types), allocation.Copy<long>(disabled),
                             allocation.Count()};
    });
}

ArrayCopyResult CopySPArrays(CTkvs results, bool missingIsEmpty, SPArrays& out) {
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_SPNames);
    const auto available = reader.Bools(KEY_SPAvailable);
    return CopyWhenRead(reader, out, [&](Allocation& allocation) {
        return SPArrays{allocation.Copy(names), allocation.Copy<long>(available),
                        allocation.Count()};
    });
}
