#include "python/columnmemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace vantero::python {
namespace {

// Below this a column is malloc's business.
constexpr std::size_t mappedFrom = std::size_t{1} << 20;
// Mappings are whole huge pages, so that columns of one size share them.
constexpr std::size_t hugePage = std::size_t{2} << 20;

struct Mapping {
    void* data;
    std::size_t bytes;
};

// The mappings of columns that went, the latest last.
class KeptMappings {
public:
    // A kept mapping of `bytes` (whole huge pages: the columns of a length
    // share them), if any.
    void* take(std::size_t bytes) {
        const std::lock_guard lock(m_mutex);
        const auto found = std::find_if(m_kept.begin(), m_kept.end(),
                                        [&](const Mapping& m) { return m.bytes == bytes; });
        if (found == m_kept.end()) {
            return nullptr;
        }
        void* data = found->data;
        m_total -= found->bytes;
        m_kept.erase(found);
        return data;
    }

    // Keeps the mapping, letting the oldest go beyond keptColumnBytes.
    void give(Mapping mapping) {
        std::vector<Mapping> unmapped;
        {
            const std::lock_guard lock(m_mutex);
            m_kept.push_back(mapping);
            m_total += mapping.bytes;
            while (m_total > keptColumnBytes) {
                unmapped.push_back(m_kept.front());
                m_total -= m_kept.front().bytes;
                m_kept.erase(m_kept.begin());
            }
        }
        for (const Mapping& m : unmapped) {
            munmap(m.data, m.bytes);
        }
    }

    std::size_t total() {
        const std::lock_guard lock(m_mutex);
        return m_total;
    }

private:
    std::mutex m_mutex;
    std::vector<Mapping> m_kept;
    std::size_t m_total = 0;
};

KeptMappings& kept() {
    static auto* mappings = new KeptMappings; // never destroyed: arrays may outlive the module
    return *mappings;
}

std::size_t mappingSize(std::size_t bytes) {
    return (bytes + hugePage - 1) / hugePage * hugePage;
}

} // namespace

ColumnMemory::ColumnMemory(std::size_t bytes)
    : m_data(nullptr), m_bytes(std::max<std::size_t>(bytes, 1)), m_mapped(m_bytes >= mappedFrom) {
    if (!m_mapped) {
        m_data = std::malloc(m_bytes);
    } else {
        m_bytes = mappingSize(m_bytes);
        m_data = kept().take(m_bytes);
        if (m_data == nullptr) {
            void* mapped =
                mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped != MAP_FAILED) {
                m_data = mapped;
#ifdef MADV_HUGEPAGE
                (void)madvise(m_data, m_bytes, MADV_HUGEPAGE); // a hint only
#endif
            }
        }
    }
    if (m_data == nullptr) {
        throw std::bad_alloc();
    }
}

ColumnMemory::ColumnMemory(ColumnMemory&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_bytes(other.m_bytes),
      m_mapped(other.m_mapped) {}

ColumnMemory::~ColumnMemory() {
    if (m_data == nullptr) {
        return;
    }
    if (m_mapped) {
        kept().give({m_data, m_bytes});
    } else {
        std::free(m_data);
    }
}

std::size_t keptColumnMemory() {
    return kept().total();
}

// What an array's base owns: the column's memory and, once they are, the
// references its elements hold.
struct ColumnBlock {
    ColumnMemory memory;
    std::size_t references = 0;
};

namespace {

constexpr const char* blockName = "vantero.ColumnBlock";

void releaseBlock(PyObject* capsule) {
    const std::unique_ptr<ColumnBlock> block(
        static_cast<ColumnBlock*>(PyCapsule_GetPointer(capsule, blockName)));
    // A run of elements that are the same object lets go of its references
    // at once (all but the last, which may be the object's own).
    PyObject* const* items = static_cast<PyObject**>(block->memory.data());
    for (std::size_t i = 0; i < block->references;) {
        PyObject* object = items[i];
        std::size_t run = 1;
        while (i + run < block->references && items[i + run] == object) {
            ++run;
        }
        i += run;
        if (object != nullptr) {
            Py_SET_REFCNT(object, Py_REFCNT(object) - static_cast<Py_ssize_t>(run - 1));
            Py_DECREF(object);
        }
    }
}

} // namespace

NewColumn::NewColumn(std::size_t count, std::size_t itemSize)
    : m_count(count), m_itemSize(itemSize) {
    auto block = std::make_unique<ColumnBlock>(ColumnBlock{ColumnMemory(count * itemSize)});
    m_base = py::capsule(block.get(), blockName, releaseBlock);
    m_block = block.release();
    m_data = m_block->memory.data();
}

void NewColumn::holdReferences() {
    m_block->references = m_count;
}

py::array NewColumn::array(const py::dtype& dtype) const {
    return py::array(dtype, {static_cast<py::ssize_t>(m_count)},
                     {static_cast<py::ssize_t>(m_itemSize)}, m_data, m_base);
}

} // namespace vantero::python
