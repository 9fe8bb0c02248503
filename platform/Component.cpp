#include "platform/Component.h"

#include <algorithm>

namespace platform {

Component::~Component() {
    while (!children_.empty()) {
        // Remove the child from the list before destroying it, so nothing can reach it half-dead.
        std::unique_ptr<Component> child = std::move(children_.back());
        children_.pop_back();
        child.reset();
    }
    // Work on a copy: the peers unlink themselves while being told.
    std::vector<Component*> linked = std::move(linked_);
    linked_.clear();
    for (Component* peer : linked) {
        peer->unlink(*this);
        peer->notification(*this);
    }
}

void Component::adopt(std::unique_ptr<Component> child) {
    child->owner_ = this;
    children_.push_back(std::move(child));
}

void Component::freeNotification(Component& other) {
    if (&other == this)
        return;
    if (std::find(linked_.begin(), linked_.end(), &other) != linked_.end())
        return;
    linked_.push_back(&other);
    other.linked_.push_back(this);
}

void Component::removeFreeNotification(Component& other) {
    unlink(other);
    other.unlink(*this);
}

void Component::unlink(Component& other) {
    linked_.erase(std::remove(linked_.begin(), linked_.end(), &other), linked_.end());
}

void Component::notification(Component&) {}

} // namespace platform
