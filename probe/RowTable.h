// Two-dimensional arrays as one allocation: a table of row pointers followed by the rows,
// pointer i set to the start of row i, indexed [row][column] and released with one free.
// Raw frame buffers and the image processor's working arrays are all of this shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// Null when the size is zero, overflows, or the allocation fails. The elements are zeroed.
template <typename T>
T** AllocRowTableOf(size_t rows, size_t columns) {
    if (rows == 0 || columns == 0)
        return nullptr;
    const size_t maxBytes = SIZE_MAX / 2;
    if (columns > maxBytes / sizeof(T) / rows)
        return nullptr;
    const size_t header = rows * sizeof(T*);
    const size_t pad = (alignof(T) - header % alignof(T)) % alignof(T);
    const size_t body = rows * columns * sizeof(T);
    if (header + pad > maxBytes - body)
        return nullptr;
    void* block = std::calloc(1, header + pad + body);
    if (!block)
        return nullptr;
    T** table = static_cast<T**>(block);
    T* first = reinterpret_cast<T*>(static_cast<unsigned char*>(block) + header + pad);
    for (size_t i = 0; i < rows; ++i)
        table[i] = first + i * columns;
    return table;
}

template <typename T>
void FreeRowTable(T** table) {
    std::free(table);
}

// Owning handle for a row table.
template <typename T>
struct RowTableDeleter {
    void operator()(T** table) const { FreeRowTable(table); }
};
template <typename T>
using RowTablePtr = std::unique_ptr<T*, RowTableDeleter<T>>;

// The raw frame buffer's sample block: `rows` rows of `rowBytes` bytes.
inline uint8_t** AllocRowTable(uint32_t rows, uint32_t rowBytes) {
    return AllocRowTableOf<uint8_t>(rows, rowBytes);
}
