#pragma once

#include <cstddef>

namespace vantero::report {

// What painting needs, made sure of before it starts, while a shortage can
// still be told: Qt Gui paints with allocations it does not check (one that
// fails ends the program, or leaves the file half made), and its raster
// engine hands large fills to the threads of Qt's global pool and waits for
// them, for ever when the system refused to make one. Each throws
// std::bad_alloc when what is needed cannot be had.

// The most that painting takes beyond what the program holds before it
// starts, the first use of the fonts included (measured on the charts and
// reports of the calculators, with room to spare): a PNG picture of a chart,
// an SVG drawing, and a PDF, whose writer compresses each page through two
// buffers of 16 MiB.
inline constexpr std::size_t imageMemory = std::size_t{16} << 20;
inline constexpr std::size_t drawingMemory = std::size_t{8} << 20;
inline constexpr std::size_t pdfMemory = std::size_t{48} << 20;

// Takes `bytes` of memory (address space the system has promised, untouched)
// and gives them back, so that painting that needs no more than that finds
// them.
void ensureMemory(std::size_t bytes);

// Makes sure that the thread of Qt's global pool is running, the pool kept to
// that one thread, which never expires and has a small stack: the raster
// engine's fills then wait only for a thread that exists. Needs the Qt Gui
// application; call it from the thread that paints.
void ensureFillThread();

// Whether the pool lost a thread the system refused to make. The pool waits
// for it when the Qt application ends, so a program that sees true must end
// without taking its application down (after flushing its streams).
bool fillThreadLost();

} // namespace vantero::report
