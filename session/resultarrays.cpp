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

template <typename T>
std::unique_ptr<T[]> Allocate(int count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<std::size_t>(count)]);
}

void CopyInto(std::span<const char* const> from, SC_String* to) {
    for (std::size_t i = 0; i < from.size(); ++i)
        to[i] = from[i];
}

template <typename Target, typename Source>
void CopyInto(std::span<const Source> from, Target* to) {
    for (std::size_t i = 0; i < from.size(); ++i)
        to[i] = static_cast<Target>(from[i]);
}

constexpr ArrayCopyResult kNoMemory{CT_NOMEMORY, CTerr_NoMemory};

}  // namespace

ArrayCopyResult CopyProfileArrays(CTkvs results, bool missingIsEmpty, ProfileArrays& out) {
    out = {};
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_ProfileNames);
    const auto classes = reader.Strings(KEY_ProfileClasses);
    int count = 0;
    const ArrayCopyResult result = reader.Finish(count);
    if (result.status != CT_SUCCESS || count == 0)
        return result;
    ProfileArrays arrays{Allocate<SC_String>(count), Allocate<SC_String>(count), count};
    if (!arrays.names || !arrays.classes)
        return kNoMemory;
    CopyInto(names, arrays.names.get());
    CopyInto(classes, arrays.classes.get());
    out = std::move(arrays);
    return result;
}

ArrayCopyResult CopyServiceArrays(CTkvs results, bool missingIsEmpty, ServiceArrays& out) {
    out = {};
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_ServiceNames);
    const auto states = reader.Symbols(KEY_ServiceStates);
    const auto types = reader.Symbols(SVC_StartType);
    const auto disabled = reader.Bools(SVC_Disabled);
    int count = 0;
    const ArrayCopyResult result = reader.Finish(count);
    if (result.status != CT_SUCCESS || count == 0)
        return result;
    ServiceArrays arrays{Allocate<SC_String>(count), Allocate<unsigned long>(count),
                         Allocate<unsigned long>(count), Allocate<long>(count), count};
    if (!arrays.names || !arrays.states || !arrays.types || !arrays.disabled)
        return kNoMemory;
    CopyInto(names, arrays.names.get());
    CopyInto(states, arrays.states.get());
    CopyInto(types, arrays.types.get());
    CopyInto(disabled, arrays.disabled.get());
    out = std::move(arrays);
    return result;
}

ArrayCopyResult CopySPArrays(CTkvs results, bool missingIsEmpty, SPArrays& out) {
    out = {};
    ArrayReader reader(results, missingIsEmpty);
    const auto names = reader.Strings(KEY_SPNames);
    const auto available = reader.Bools(KEY_SPAvailable);
    int count = 0;
    const ArrayCopyResult result = reader.Finish(count);
    if (result.status != CT_SUCCESS || count == 0)
        return result;
    SPArrays arrays{Allocate<SC_String>(count), Allocate<long>(count), count};
    if (!arrays.names || !arrays.available)
        return kNoMemory;
    CopyInto(names, arrays.names.get());
    CopyInto(available, arrays.available.get());
    out = std::move(arrays);
    return result;
}
