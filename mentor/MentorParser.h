#pragma once

#include <utility>

#include "mentor/BoardModel.h"
#include "mentor/MentorBS.h"

/// The parser object of one run: the board model while the export files are read, and
/// the element the last reader created. The translator takes the model over, whole, when
/// reading is done.
class MentorParser {
public:
    MentorParser() = default;
    MentorParser(const MentorParser&) = delete;
    MentorParser& operator=(const MentorParser&) = delete;

    /// Appends `element` to the element list and makes it the current element.
    void addElement(MentorBS::MentorElement* element) {
        model.elements.push_back(element);
        currentElement = element;
    }

    /// Hands the model over; the parser is left with an empty one.
    MentorBS::BoardModel takeModel() { return std::exchange(model, {}); }

    /// The element the last reader created.
    MentorBS::MentorElement* currentElement = nullptr;
    /// What the readers have read so far.
    MentorBS::BoardModel model;
};
