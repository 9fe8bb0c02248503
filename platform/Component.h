#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

// Root of everything that can be the sender of an event: handlers receive it by reference and
// may ask for the concrete type with dynamic_cast.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;
};

// A named part of a larger whole. A component may own child components, which it destroys
// (last adopted first) when it is destroyed itself. Two components that refer to each other
// without ownership register a free notification: when either is destroyed, the other's
// notification() is called first, so it can clear its reference.
class Component : public Object {
public:
    Component() = default;
    ~Component() override;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    Component* owner() const { return owner_; }
    // Takes ownership of child and returns it, typed as given.
    template <class T>
    T& own(std::unique_ptr<T> child) {
        T& result = *child;
        adopt(std::move(child));
        return result;
    }
    std::size_t childCount() const { return children_.size(); }

    // Links this component and other: each is notified when the other is destroyed. Linking
    // twice is harmless; linking a component with itself does nothing.
    void freeNotification(Component& other);
    void removeFreeNotification(Component& other);

protected:
    // Called on a linked component that is about to be destroyed. Only its address is safe to
    // use: the derived parts of it may already be gone.
    virtual void notification(Component& dying);

private:
    void adopt(std::unique_ptr<Component> child);
    void unlink(Component& other);

    std::string name_;
    Component* owner_ = nullptr;
    std::vector<std::unique_ptr<Component>> children_;
    std::vector<Component*> linked_;
};

} // namespace platform
