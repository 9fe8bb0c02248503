#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Texts, each with an attached object (a std::unique_ptr owns it, a plain pointer does not).
// An unsorted list keeps insertion order and accepts repeated texts. A sorted list keeps its
// entries in byte-wise order of their texts, case-sensitively, finds them by bisection and
// refuses a text it already holds; that order is the order in which callers walk the list.
template <class ObjectRef>
class StringList {
public:
    struct Entry {
        std::string text;
        ObjectRef object;
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit StringList(bool sorted = false) : sorted_(sorted) {}

    bool sorted() const { return sorted_; }
    // Switching sorting on re-sorts the entries (stably, so entries with equal texts that an
    // unsorted phase produced stay in their order and are all kept).
    void setSorted(bool sorted) {
        if (sorted && !sorted_)
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const Entry& a, const Entry& b) { return a.text < b.text; });
        sorted_ = sorted;
    }

    // Appends the entry, or in a sorted list inserts it in order. Returns its index, or npos
    // when a sorted list already holds the text; the refused object is then destroyed with the
    // argument (for an owning list).
    std::size_t add(std::string text, ObjectRef object) {
        std::size_t index = entries_.size();
        if (sorted_ && find(text, index))
            return npos;
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index),
                        Entry{std::move(text), std::move(object)});
        return index;
    }

    // Sorted: bisection; index is the entry's position, or where it would go when absent.
    // Unsorted: the first entry with the text; index is size() when absent.
    bool find(std::string_view text, std::size_t& index) const {
        if (!sorted_) {
            index = indexOf(text);
            if (index != npos)
                return true;
            index = entries_.size();
            return false;
        }
        auto it = std::lower_bound(entries_.begin(), entries_.end(), text,
                                   [](const Entry& e, std::string_view t) { return e.text < t; });
        index = static_cast<std::size_t>(it - entries_.begin());
        return it != entries_.end() && it->text == text;
    }

    std::size_t indexOf(std::string_view text) const {
        if (sorted_) {
            std::size_t index = 0;
            return find(text, index) ? index : npos;
        }
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].text == text)
                return i;
        return npos;
    }

    // The object attached to the text as a plain pointer; null when the list lacks the text.
    auto objectOf(std::string_view text) const {
        std::size_t index = indexOf(text);
        return index == npos ? decltype(raw(entries_[0].object)){} : raw(entries_[index].object);
    }

    // Changes the text of one entry. Refused while the list is sorted, whose order it would break.
    void setText(std::size_t index, std::string text) {
        if (sorted_)
            throw std::logic_error("StringList::setText on a sorted list");
        entries_.at(index).text = std::move(text);
    }

    void erase(std::size_t index) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index)); }
    void clear() { entries_.clear(); }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    Entry& operator[](std::size_t index) { return entries_[index]; }
    const Entry& operator[](std::size_t index) const { return entries_[index]; }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    template <class P>
    static auto raw(const P& p) {
        if constexpr (requires { p.get(); })
            return p.get();
        else
            return p;
    }

    bool sorted_;
    std::vector<Entry> entries_;
};

} // namespace platform
