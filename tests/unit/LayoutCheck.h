// The designed place, caption, tab order and parent of each control of a page, checked row by row.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "ui/Controls.h"

namespace lumora::testing {

struct LayoutRow {
    const TControl* control;
    Bounds bounds;
    const char* caption;
    int tabOrder;
};

inline void ExpectLayout(std::initializer_list<LayoutRow> rows, const TControl& parent)
{
    for (const auto& row : rows) {
        const Bounds& b = row.control->GetBounds();
        EXPECT_EQ(std::vector<int>({b.left, b.top, b.width, b.height}),
                  std::vector<int>({row.bounds.left, row.bounds.top, row.bounds.width, row.bounds.height}))
            << row.control->Name();
        EXPECT_EQ(row.control->Caption(), row.caption) << row.control->Name();
        EXPECT_EQ(row.control->tabOrder, row.tabOrder) << row.control->Name();
        EXPECT_EQ(row.control->Parent(), &parent) << row.control->Name();
    }
}

}  // namespace lumora::testing
