// The image processor's two-dimensional int and double arrays: one allocation with the row
// pointers in front of the rows (see probe/RowTable.h), indexed [row][column], released
// with one free. Later subsystems reuse them for their own tables.
#pragma once

#include "probe/RowTable.h"

// Null when rows or columns is not positive or the allocation fails. Elements start at 0.
inline int** Alloc2DInt(int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return nullptr;
    return AllocRowTableOf<int>(static_cast<size_t>(rows), static_cast<size_t>(columns));
}
inline double** Alloc2DDouble(int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return nullptr;
    return AllocRowTableOf<double>(static_cast<size_t>(rows), static_cast<size_t>(columns));
}

using Int2D = RowTablePtr<int>;
using Double2D = RowTablePtr<double>;
