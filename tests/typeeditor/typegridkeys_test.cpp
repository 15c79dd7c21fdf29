// The keys of a row move as the status bar names them.
#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>
#include <utility>

#include "TypeGridKeys.h"

namespace {

TEST(RowMoveKeys, TheStatusBarNamesKeysByTheirVirtualKeyCode) {
    const std::pair<int, int32_t> cases[] = {{Qt::Key_A, 65},      {Qt::Key_7, 55},      {Qt::Key_F1, 112},
                                             {Qt::Key_Left, 37},   {Qt::Key_Delete, 46}, {Qt::Key_Insert, 45},
                                             {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Home, 36}};
    for (const auto& [key, code] : cases) EXPECT_EQ(VirtualKeyCode(key), code) << key;
}

}  // namespace
