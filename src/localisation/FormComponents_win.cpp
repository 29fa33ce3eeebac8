#include "localisation/FormComponents_win.h"

#include "win32/Controls.h"

namespace {

class ControlComponent final : public LocalisableComponent {
public:
    explicit ControlComponent(Control& control) : control_(control) {}

    std::string Name() const override { return control_.Name(); }
    ComponentKind Kind() const override { return ComponentKindOf(control_.Kind()); }
    std::string Caption() const override { return control_.Caption(); }
    void SetCaption(const std::string& value) override { control_.SetCaption(value); }
    std::string Hint() const override { return control_.Hint(); }
    void SetHint(const std::string& value) override { control_.SetHint(value); }
    std::string Text() const override { return control_.Text(); }
    void SetText(const std::string& value) override { control_.SetText(value); }
    int ItemCount() const override {
        const auto* combo = dynamic_cast<const ComboBox*>(&control_);
        return combo ? static_cast<int>(combo->ItemCount()) : 0;
    }
    std::string Item(int index) const override {
        const auto* combo = dynamic_cast<const ComboBox*>(&control_);
        if (!combo || index < 0 || static_cast<size_t>(index) >= combo->ItemCount()) return {};
        return combo->Items()[static_cast<size_t>(index)];
    }
    void SetItem(int index, const std::string& value) override {
        auto* combo = dynamic_cast<ComboBox*>(&control_);
        if (combo && index >= 0 && static_cast<size_t>(index) < combo->ItemCount()) {
            combo->SetItem(static_cast<size_t>(index), value);
        }
    }

private:
    Control& control_;
};

// A design row that makes no window: the localiser sees its name and passes it over.
class WindowlessComponent final : public LocalisableComponent {
public:
    explicit WindowlessComponent(std::string name) : name_(std::move(name)) {}
    std::string Name() const override { return name_; }
    ComponentKind Kind() const override { return ComponentKind::NotAControl; }

private:
    std::string name_;
};

}  // namespace

FormComponents::FormComponents(Form& form, const FormLayout& layout) : form_(form) {
    for (const ControlLayout& row : layout.controls) {
        if (Control* control = form.FindControl(row.name)) {
            components_.push_back(std::make_unique<ControlComponent>(*control));
        } else {
            components_.push_back(std::make_unique<WindowlessComponent>(row.name));
        }
    }
}
