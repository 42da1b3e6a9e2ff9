#pragma once

// Writer tests build one output block from a small model made in memory and compare the
// block's JSON form (docs/vnf-format.md) with text written by hand, so that each test
// reads as input -> expected block.

#include <string>
#include <vector>

#include "corelib/VnfJson.h"
#include "mentor/BoardModel.h"
#include "writer/DocumentContext.h"

namespace testing_support {

/// The JSON form of the block `build(model, context)` makes, with a fresh document context
/// as the document builder would give it.
template <typename Build>
std::string blockJson(const MentorBS::BoardModel& model, Build build, bool mergePlanes = false) {
    DocumentContext context(model, mergePlanes);
    return io::vnfToJson(*build(model, context));
}

}  // namespace testing_support

namespace testing_support {

/// `json` with every vertex written short: v(x,y) for an outline vertex and V(x,y,w) for a
/// vertex of a round line of width w (whose three widths agree). Other vertices stay.
inline std::string compactVertices(const std::string& json) {
    static const std::string k_Open = "{\"func\":\"vertex\",\"args\":[";
    std::string out;
    std::size_t at = 0;
    for (std::size_t found; (found = json.find(k_Open, at)) != std::string::npos;) {
        const std::size_t end = json.find("]}", found);
        if (end == std::string::npos) {
            break;
        }
        out.append(json, at, found - at);
        const std::string inner = json.substr(found + k_Open.size(), end - found - k_Open.size());
        // {"double":1},{"string":"Round"} -> "double":1 | "string":"Round"
        std::vector<std::string> pieces;
        if (inner.size() >= 2) {
            const std::string body = inner.substr(1, inner.size() - 2);
            for (std::size_t start = 0;;) {
                const std::size_t next = body.find("},{", start);
                pieces.push_back(body.substr(start, next - start));
                if (next == std::string::npos) {
                    break;
                }
                start = next + 3;
            }
        }
        const auto number = [&](std::size_t i) {
            const std::string& piece = pieces[i];
            return piece.starts_with("\"double\":") ? piece.substr(9) : std::string();
        };
        bool numbers = true;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            numbers = numbers && (i == 4 || i == 5 || !number(i).empty());
        }
        if (pieces.size() == 2 && numbers) {
            out += "v(" + number(0) + "," + number(1) + ")";
        } else if (pieces.size() == 7 && numbers && pieces[4] == "\"string\":\"Round\""
                   && pieces[5] == "\"string\":\"Radiallymitered\"" && number(3) == number(2)
                   && number(6) == number(2)) {
            out += "V(" + number(0) + "," + number(1) + "," + number(2) + ")";
        } else {
            out.append(json, found, end + 2 - found);
        }
        at = end + 2;
    }
    out.append(json, at);
    return out;
}

}  // namespace testing_support
