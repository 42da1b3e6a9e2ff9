#pragma once

#include <cmath>

namespace base {

/// Sign of a number: negative, zero or positive.
enum Sign { k_Negative = -1, k_Zero = 0, k_Positive = 1 };

template <class T>
constexpr T GetAbsOf_T(const T& v) {
    return v < T(0) ? -v : v;
}

template <class T>
constexpr Sign GetSignOf_T(const T& v) {
    return v < T(0) ? k_Negative : (T(0) < v ? k_Positive : k_Zero);
}

/// The larger of the arguments, all taken as T.
template <class T>
constexpr T GetMaxOf_T(const T& a, const T& b) {
    return a < b ? b : a;
}

template <class T, class... Rest>
constexpr T GetMaxOf_T(const T& a, const T& b, const Rest&... rest) {
    return GetMaxOf_T<T>(GetMaxOf_T<T>(a, b), static_cast<T>(rest)...);
}

/// The smaller of the arguments, all taken as T.
template <class T>
constexpr T GetMinOf_T(const T& a, const T& b) {
    return b < a ? b : a;
}

template <class T, class... Rest>
constexpr T GetMinOf_T(const T& a, const T& b, const Rest&... rest) {
    return GetMinOf_T<T>(GetMinOf_T<T>(a, b), static_cast<T>(rest)...);
}

/// Three-way comparison of doubles that is a total order even with NaN: every NaN is
/// equal to every other NaN and greater than any number. Sorting and keyed containers
/// stay well defined on bad coordinates.
inline int CompareTotal_G(double a, double b) {
    if (a < b) {
        return -1;
    }
    if (b < a) {
        return 1;
    }
    const bool nan_a = std::isnan(a);
    const bool nan_b = std::isnan(b);
    return nan_a == nan_b ? 0 : (nan_a ? 1 : -1);
}

}  // namespace base
