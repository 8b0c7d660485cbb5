#pragma once
// ImageList1: the tray frames the connection tick cycles through while connected.

#include <QIcon>

constexpr int kImageList1Count = 3;

// Frame index, 0 to kImageList1Count - 1, as a 16 x 16 icon; another index raises
// platform::RangeError.
QIcon ImageList1Icon(int index);
