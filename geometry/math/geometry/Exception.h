#pragma once

#include <exception>

namespace geom {

/// A kernel operation that cannot deliver its result. Code 2: a point budget was exceeded.
class Exception : public std::exception {
public:
    explicit Exception(int code) : m_Code(code) {}
    int GetCode() const { return m_Code; }
    const char* what() const noexcept override {
        return m_Code == 2 ? "geom::Exception: point budget exceeded" : "geom::Exception";
    }

private:
    int m_Code;
};

}  // namespace geom
