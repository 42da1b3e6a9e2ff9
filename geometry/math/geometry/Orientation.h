#pragma once

namespace geom {

/// Turning sense of an arc or a closed boundary in a y-up frame. An arc reports
/// k_NoOrientation when it is a straight segment (height 0).
enum Orientation : int { k_CCW = 0, k_CW = 1, k_NoOrientation = 2 };

/// Whether a chain of arcs returns to its start.
enum OpenClosed : int { k_Open = 0, k_Closed = 1 };

}  // namespace geom
