#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>

namespace vantero::python {

// The memory of one column the module hands to numpy. Fresh pages are the
// largest cost a sweep adds to its calculations (the kernel clears each one
// on first touch), so a large block is mapped in huge pages where the system
// allows, and when its array goes it is kept for the next columns, up to
// keptColumnBytes in all; a small block comes from malloc. What a block holds
// on arrival is unspecified: its user writes every element.
class ColumnMemory {
public:
    explicit ColumnMemory(std::size_t bytes);
    ~ColumnMemory();
    ColumnMemory(ColumnMemory&& other) noexcept;
    ColumnMemory& operator=(ColumnMemory&&) = delete;
    ColumnMemory(const ColumnMemory&) = delete;
    ColumnMemory& operator=(const ColumnMemory&) = delete;

    void* data() const { return m_data; }

private:
    void* m_data;
    std::size_t m_bytes;
    bool m_mapped;
};

// How much memory of columns that went is kept for the next ones, at most.
inline constexpr std::size_t keptColumnBytes = std::size_t{64} << 20;
// How much is kept now (for the tests).
std::size_t keptColumnMemory();

struct ColumnBlock;

// A column being made: its memory, and the base that gives it back when the
// last view of the array goes.
class NewColumn {
public:
    NewColumn(std::size_t count, std::size_t itemSize);

    void* data() const { return m_data; }
    // From now on elements [0, count) are references, released with the
    // column (call once every one is).
    void holdReferences();
    // The column as a one-dimensional array of `dtype`.
    pybind11::array array(const pybind11::dtype& dtype) const;

private:
    std::size_t m_count;
    std::size_t m_itemSize;
    pybind11::capsule m_base; // owns the block
    ColumnBlock* m_block;
    void* m_data;
};

template <typename T> pybind11::array_t<T> numberColumn(std::size_t count) {
    return NewColumn(count, sizeof(T)).array(pybind11::dtype::of<T>());
}

} // namespace vantero::python
