#pragma once

// Compact one-line dumps of the board-model elements the readers make, so that a test
// asserts a whole element at once. Texts are written in brackets, numbers with %.15g:
//     Board [demo] 1.5 2 0 [MILS]

#include <cstdio>
#include <string>
#include <vector>

#include "corelib/VString.h"
#include "mentor/MentorBS.h"
#include "mentor/MentorParser.h"

namespace model_dump {

class Line {
public:
    explicit Line(const char* kind) : m_text(kind) {}

    Line& text(const std::string& value) {
        m_text += " [" + value + "]";
        return *this;
    }
    Line& text(const VString& value) { return text(value.ToNarrow()); }
    Line& number(double value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, " %.15g", value);
        m_text += buffer;
        return *this;
    }
    Line& numbers(const std::vector<double>& values) {
        m_text += " (";
        for (std::size_t i = 0; i < values.size(); ++i) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, i ? " %.15g" : "%.15g", values[i]);
            m_text += buffer;
        }
        m_text += ")";
        return *this;
    }
    Line& texts(const std::vector<std::string>& values) {
        m_text += " {";
        for (std::size_t i = 0; i < values.size(); ++i) {
            m_text += (i ? " [" : "[") + values[i] + "]";
        }
        m_text += "}";
        return *this;
    }
    /// A nested record, on its own line below the element, indented.
    Line& child(const Line& line) {
        m_text += "\n  " + line.str();
        return *this;
    }
    const std::string& str() const { return m_text; }

private:
    std::string m_text;
};

inline std::string dump(const MentorBS::MentorElement& element) {
    using namespace MentorBS;
    if (const Panel* e = element.asPanel()) {
        return Line("Panel")
            .text(e->name)
            .text(e->name2)
            .text(e->name3)
            .number(e->x)
            .number(e->y)
            .number(e->value1)
            .number(e->value2)
            .str();
    }
    if (const Board* e = element.asBoard()) {
        return Line("Board")
            .text(e->name)
            .number(e->offsetX)
            .number(e->offsetY)
            .number(e->orientation)
            .text(e->unitsName)
            .str();
    }
    if (const BoardAttribute* e = element.asBoardAttribute()) {
        return Line("BoardAttribute").text(e->name).text(e->value).numbers(e->numbers).str();
    }
    if (const BoardAddedGeometry* e = element.asBoardAddedGeometry()) {
        return Line("BoardAddedGeometry")
            .text(e->name)
            .text(e->name2)
            .number(e->x)
            .number(e->y)
            .number(e->int1)
            .number(e->int2)
            .number(e->int3)
            .number(e->int4)
            .str();
    }
    if (const Net* e = element.asNet()) {
        Line line("Net");
        line.text(e->name).texts(e->properties);
        for (const NetPin* p : e->pins) {
            line.child(Line("N_PIN")
                           .text(p->pinRef)
                           .number(p->x)
                           .number(p->y)
                           .text(p->layer)
                           .number(p->number)
                           .number(p->number2)
                           .number(p->trailingNumber)
                           .text(p->pinName));
        }
        for (const NetVia* v : e->vias) {
            line.child(Line("N_VIA")
                           .number(v->x)
                           .number(v->y)
                           .text(v->padName)
                           .number(v->value1)
                           .number(v->value2));
        }
        for (const NetPinTest* t : e->pinTests) {
            line.child(Line("N_TEST PIN")
                           .number(t->x)
                           .number(t->y)
                           .text(t->text1)
                           .text(t->text2)
                           .text(t->text3));
        }
        for (const NetTestPoint* t : e->testPoints) {
            line.child(Line("N_TEST").number(t->x).number(t->y).text(t->text1).text(t->text2));
        }
        return line.str();
    }
    if (const Geometry* e = element.asGeometry()) {
        Line line("Geometry");
        line.text(e->name);
        for (const GeomPin* p : e->pins) {
            line.child(Line("G_PIN")
                           .text(p->pinName)
                           .number(p->x)
                           .number(p->y)
                           .text(p->text1)
                           .text(p->text2)
                           .number(p->value));
        }
        for (const GeomAttribute* a : e->attributes) {
            line.child(Line("G_ATTR").text(a->name).text(a->type).numbers(a->points));
        }
        return line.str();
    }
    if (const Component* e = element.asComponent()) {
        Line line("Component");
        line.text(e->name)
            .text(e->text2)
            .text(e->text3)
            .text(e->text4)
            .number(e->x)
            .number(e->y)
            .number(e->value1)
            .number(e->value2)
            .texts(e->properties);
        for (const CompPin* p : e->pins) {
            line.child(Line("C_PIN")
                           .text(p->pinName)
                           .number(p->x)
                           .number(p->y)
                           .number(p->value1)
                           .number(p->value2)
                           .number(p->value3)
                           .text(p->text1)
                           .text(p->text2));
        }
        return line.str();
    }
    if (const Pad* e = element.asPad()) {
        Line line("Pad");
        line.text(e->kind)
            .text(e->name)
            .text(e->holeType)
            .number(e->holeValue)
            .texts(e->properties)
            .text(e->plating);
        for (const PadShape* s : e->shapes) {
            line.child(Line("shape")
                           .text(s->text1)
                           .text(s->text2)
                           .text(s->shapeKind)
                           .numbers(s->dimensions)
                           .number(s->centerX)
                           .number(s->centerY));
        }
        return line.str();
    }
    if (const Drill* e = element.asDrill()) {
        return Line("Drill")
            .text(e->name)
            .number(e->value1)
            .number(e->value2)
            .number(e->value3)
            .number(e->value4)
            .str();
    }
    if (const TestPoints* e = element.asTestPoints()) {
        return Line("TestPoints")
            .text(e->name)
            .number(e->x)
            .number(e->y)
            .text(e->text2)
            .number(e->number)
            .text(e->text3)
            .str();
    }
    if (const LayerInfo* e = element.asLayerInfo()) {
        return Line("LayerInfo")
            .text(e->name)
            .number(e->number)
            .text(e->type)
            .numbers({double(e->field1), double(e->field2), double(e->field3), double(e->field4),
                      double(e->field5), double(e->field6), double(e->field7), double(e->field8),
                      double(e->field9), double(e->field10), double(e->field11), double(e->field12),
                      double(e->field13)})
            .str();
    }
    if (const BSGates* e = element.asBSGates()) {
        Line line("BSGates");
        line.text(e->name).text(e->text2).text(e->text3).number(e->number);
        std::vector<std::string> pairs;
        for (const auto& [text, value] : e->pairs) {
            pairs.push_back(text + "=" + std::to_string(value));
        }
        return line.texts(pairs).texts(e->pinGroups).str();
    }
    if (const BSPinSet* e = element.asBSPinSet()) {
        return Line("BSPinSet")
            .text(e->name)
            .text(e->text2)
            .number(e->number)
            .texts(e->leading)
            .texts(e->bracketed)
            .str();
    }
    if (const BSPins* e = element.asBSPins()) {
        return Line("BSPins").text(e->name).texts(e->pinNames).str();
    }
    if (const LayoutNet* e = element.asLayoutNet()) {
        Line line("LayoutNet");
        line.text(e->name).text(e->unitsName);
        for (const TraceRecord& t : e->traces) {
            line.child(Line("trace").text(t.keyword).text(t.layer).numbers(t.values));
        }
        for (const AreaRecord& a : e->rawAreas) {
            line.child(Line("area").text(a.layer).numbers(a.vertices).number(a.width));
        }
        return line.str();
    }
    return "unexpected element";
}

/// Every element of the list, one dump per line.
inline std::string dump(const std::vector<MentorBS::MentorElement*>& elements) {
    std::string out;
    for (const MentorBS::MentorElement* element : elements) {
        out += dump(*element) + "\n";
    }
    return out;
}

}  // namespace model_dump
