#pragma once

#include "core/runtime_error.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace fk {

class Container;

// Controls of one kind that share a name and are told apart by an index from 0. Asking for
// an element that does not exist is a runtime error.
template <class ControlType> class ControlArray {
public:
    template <class PropsType>
    ControlArray(Container& container, std::initializer_list<PropsType> elements)
    {
        for (const PropsType& props : elements)
            elements_.push_back(std::make_unique<ControlType>(container, props));
    }

    ControlType& operator()(std::int16_t index) const
    {
        if (index < 0 || index >= static_cast<int>(elements_.size()))
            throw RuntimeError::subscriptOutOfRange();
        return *elements_[static_cast<std::size_t>(index)];
    }

    // The highest index.
    std::int16_t ubound() const { return static_cast<std::int16_t>(static_cast<int>(elements_.size()) - 1); }

    // Gives every element the same click handler, which receives the element's index.
    void onClick(const std::function<void(std::int16_t)>& handler)
    {
        for (std::size_t i = 0; i < elements_.size(); ++i)
            elements_[i]->onClick = [handler, i] { handler(static_cast<std::int16_t>(i)); };
    }

private:
    std::vector<std::unique_ptr<ControlType>> elements_;
};

} // namespace fk
