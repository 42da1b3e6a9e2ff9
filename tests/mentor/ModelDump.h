#pragma once

// Compact dumps of the board-model elements the readers make, so that a test asserts a
// whole element at once: one line per element, its records indented below it. Texts in
// brackets, numbers with %.15g, lists of numbers in parentheses, lists of texts in braces:
//     Board [demo] 1.5 2 0 [MILS]

#include <cstdio>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/MentorBS.h"

namespace model_dump {

inline void put(std::string& out, const std::string& text) {
    out += " [" + text + "]";
}
inline void put(std::string& out, const VString& text) {
    put(out, text.ToNarrow());
}
inline void put(std::string& out, double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %.15g", value);
    out += buffer;
}
inline void put(std::string& out, const std::vector<double>& values) {
    std::string inner;
    for (double value : values) {
        put(inner, value);
    }
    out += " (" + (inner.empty() ? inner : inner.substr(1)) + ")";
}
inline void put(std::string& out, const std::vector<std::string>& texts) {
    std::string inner;
    for (const std::string& text : texts) {
        put(inner, text);
    }
    out += " {" + (inner.empty() ? inner : inner.substr(1)) + "}";
}

template <typename... Fields>
std::string line(const char* kind, const Fields&... fields) {
    std::string out = kind;
    (put(out, fields), ...);
    return out;
}

/// Appends the dumps of `records`, each on its own indented line.
template <typename Record, typename Dump>
void below(std::string& out, const std::vector<Record>& records, Dump dump) {
    for (const auto& record : records) {
        out += "\n  " + dump(record);
    }
}

inline std::string dump(const MentorBS::MentorElement& element) {
    using namespace MentorBS;
    if (const Panel* e = element.asPanel()) {
        return line("Panel", e->name, e->name2, e->name3, e->x, e->y, e->value1, e->value2);
    }
    if (const Board* e = element.asBoard()) {
        return line("Board", e->name, e->offsetX, e->offsetY, e->orientation, e->unitsName);
    }
    if (const BoardAttribute* e = element.asBoardAttribute()) {
        return line("BoardAttribute", e->name, e->value, e->numbers);
    }
    if (const BoardAddedGeometry* e = element.asBoardAddedGeometry()) {
        return line("BoardAddedGeometry", e->name, e->name2, e->x, e->y, e->int1, e->int2, e->int3,
                    e->int4);
    }
    if (const Net* e = element.asNet()) {
        std::string out = line("Net", e->name, e->properties);
        below(out, e->pins, [](const NetPin* p) {
            return line("N_PIN", p->pinRef, p->x, p->y, p->layer, p->number, p->number2,
                        p->trailingNumber, p->pinName);
        });
        below(out, e->vias, [](const NetVia* v) {
            return line("N_VIA", v->x, v->y, v->padName, v->value1, v->value2);
        });
        below(out, e->pinTests, [](const NetPinTest* t) {
            return line("N_TEST PIN", t->x, t->y, t->text1, t->text2, t->text3);
        });
        below(out, e->testPoints,
              [](const NetTestPoint* t) { return line("N_TEST", t->x, t->y, t->text1, t->text2); });
        return out;
    }
    if (const Geometry* e = element.asGeometry()) {
        std::string out = line("Geometry", e->name);
        below(out, e->pins, [](const GeomPin* p) {
            return line("G_PIN", p->pinName, p->x, p->y, p->text1, p->text2, p->value);
        });
        below(out, e->attributes,
              [](const GeomAttribute* a) { return line("G_ATTR", a->name, a->type, a->points); });
        return out;
    }
    if (const Component* e = element.asComponent()) {
        std::string out = line("Component", e->name, e->text2, e->text3, e->text4, e->x, e->y,
                               e->value1, e->value2, e->properties);
        below(out, e->pins, [](const CompPin* p) {
            return line("C_PIN", p->pinName, p->x, p->y, p->value1, p->value2, p->value3, p->text1,
                        p->text2);
        });
        return out;
    }
    if (const Pad* e = element.asPad()) {
        std::string out =
            line("Pad", e->kind, e->name, e->holeType, e->holeValue, e->properties, e->plating);
        below(out, e->shapes, [](const PadShape* s) {
            return line("shape", s->text1, s->text2, s->shapeKind, s->dimensions, s->centerX,
                        s->centerY);
        });
        return out;
    }
    if (const Drill* e = element.asDrill()) {
        return line("Drill", e->name, e->value1, e->value2, e->value3, e->value4);
    }
    if (const TestPoints* e = element.asTestPoints()) {
        return line("TestPoints", e->name, e->x, e->y, e->text2, e->number, e->text3);
    }
    if (const LayerInfo* e = element.asLayerInfo()) {
        const std::vector<double> fields{double(e->field1),  double(e->field2),  double(e->field3),
                                         double(e->field4),  double(e->field5),  double(e->field6),
                                         double(e->field7),  double(e->field8),  double(e->field9),
                                         double(e->field10), double(e->field11), double(e->field12),
                                         double(e->field13)};
        return line("LayerInfo", e->name, e->number, e->type, fields);
    }
    if (const BSGates* e = element.asBSGates()) {
        std::vector<std::string> pairs;
        for (const auto& [text, value] : e->pairs) {
            pairs.push_back(text + "=" + std::to_string(value));
        }
        return line("BSGates", e->name, e->text2, e->text3, e->number, pairs, e->pinGroups);
    }
    if (const BSPinSet* e = element.asBSPinSet()) {
        return line("BSPinSet", e->name, e->text2, e->number, e->leading, e->bracketed);
    }
    if (const BSPins* e = element.asBSPins()) {
        return line("BSPins", e->name, e->pinNames);
    }
    if (const LayoutNet* e = element.asLayoutNet()) {
        std::string out = line("LayoutNet", e->name, e->unitsName);
        below(out, e->traces,
              [](const TraceRecord& t) { return line("trace", t.keyword, t.layer, t.values); });
        below(out, e->rawAreas,
              [](const AreaRecord& a) { return line("area", a.layer, a.vertices, a.width); });
        return out;
    }
    return "unexpected element";
}

/// Every element of the list (the element list or the net list), one dump per line.
template <typename Element>
std::string dump(const std::vector<Element*>& elements) {
    std::string out;
    for (const MentorBS::MentorElement* element : elements) {
        out += dump(*element) + "\n";
    }
    return out;
}

}  // namespace model_dump
