#include "localisation/Components.h"

#include <stdexcept>
#include <string_view>

#include "platform/Text.h"

ComponentKind ComponentKindOf(ControlKind kind) {
    if (!IsControl(kind)) return ComponentKind::NotAControl;
    switch (kind) {
        case ControlKind::Edit: return ComponentKind::Edit;
        case ControlKind::ComboBox: return ComponentKind::ComboBox;
        default: return ComponentKind::OtherControl;
    }
}

namespace {

class MemoryComponent final : public LocalisableComponent {
public:
    explicit MemoryComponent(const ControlLayout& row)
        : name_(row.name), kind_(ComponentKindOf(row.kind)), text_(Utf8ToAnsi(row.text)), hint_(Utf8ToAnsi(row.hint)) {
        if (kind_ != ComponentKind::ComboBox) return;
        std::string_view items = row.items;
        while (!items.empty()) {
            const size_t end = items.find('\n');
            items_.push_back(Utf8ToAnsi(items.substr(0, end)));
            items = end == std::string_view::npos ? std::string_view() : items.substr(end + 1);
        }
        SelectItem(text_);
    }

    std::string Name() const override { return name_; }
    ComponentKind Kind() const override { return kind_; }

    // A control's caption and its text are the same window text.
    std::string Caption() const override { return Text(); }
    void SetCaption(const std::string& value) override { SetText(value); }
    std::string Hint() const override { return hint_; }
    void SetHint(const std::string& value) override {
        if (kind_ != ComponentKind::NotAControl) hint_ = value;
    }

    // A drop-down list shows its selected item and nothing else: setting its text selects the
    // item of that text, if there is one.
    std::string Text() const override {
        if (kind_ == ComponentKind::NotAControl) return {};
        if (kind_ != ComponentKind::ComboBox) return text_;
        return selected_ >= 0 ? items_[static_cast<size_t>(selected_)] : std::string();
    }
    void SetText(const std::string& value) override {
        if (kind_ == ComponentKind::NotAControl) return;
        if (kind_ != ComponentKind::ComboBox) {
            text_ = value;
            return;
        }
        SelectItem(value);
    }

    int ItemCount() const override { return static_cast<int>(items_.size()); }
    std::string Item(int index) const override {
        return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)] : std::string();
    }
    void SetItem(int index, const std::string& value) override {
        if (index >= 0 && index < ItemCount()) items_[static_cast<size_t>(index)] = value;
    }

private:
    void SelectItem(const std::string& value) {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i] == value) {
                selected_ = static_cast<int>(i);
                return;
            }
        }
    }

    std::string name_;
    ComponentKind kind_;
    std::string text_;
    std::string hint_;
    std::vector<std::string> items_;
    int selected_ = -1;
};

}  // namespace

MemoryForm::MemoryForm(const FormLayout& layout) : name_(layout.name), caption_(Utf8ToAnsi(layout.caption)) {
    for (const auto& row : layout.controls) components_.push_back(std::make_unique<MemoryComponent>(row));
}

MemoryForm::~MemoryForm() = default;

LocalisableComponent& MemoryForm::Components(size_t index) {
    if (index >= components_.size()) throw std::out_of_range("component index");
    return *components_[index];
}

LocalisableComponent* MemoryForm::Find(const std::string& name) {
    for (auto& component : components_) {
        if (component->Name() == name) return component.get();
    }
    return nullptr;
}
