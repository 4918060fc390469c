// The bounding box of some pixels, as the screen tests find them.
#pragma once

#include <climits>
#include <ostream>

namespace harness {

// Right and bottom exclusive.
struct Box {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    int count = 0;

    bool Empty() const { return count == 0; }
    void Add(int x, int y) {
        left = x < left ? x : left;
        top = y < top ? y : top;
        right = x + 1 > right ? x + 1 : right;
        bottom = y + 1 > bottom ? y + 1 : bottom;
        ++count;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Box& box) {
    if (box.Empty())
        return out << "(none)";
    return out << "(" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
               << ") " << box.count << " px";
}

} // namespace harness
