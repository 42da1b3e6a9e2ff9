#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mentor/TextStream.h"

/// Reads the pin groups of a gates or pins file record, starting with `token` and going
/// on until `isEnd` accepts a token or the text ends. The tokens of a group are joined
/// without blanks; a token "-" (a line continuation) is dropped; a token that begins
/// with "(" starts a new group when the current one ends with ")". Returns the token
/// that ended the groups (empty at the end of the text).
template <typename IsEnd>
std::string_view readPinGroups(TextStream& in, std::string_view token, IsEnd isEnd,
                               std::vector<std::string>& groups) {
    std::string current;
    while (!token.empty() && !isEnd(token)) {
        if (token == "-") {
            // A line continuation.
        } else if (token.front() == '(' && endsWith(current, ')')) {
            groups.push_back(std::move(current));
            current = token;
        } else {
            current += token;
        }
        token = in.word();
    }
    if (!current.empty()) {
        groups.push_back(std::move(current));
    }
    return token;
}
