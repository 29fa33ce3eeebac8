#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "forms/FormLayout.h"

// What the localiser sees of a form and the components it owns. The Windows forms implement
// it over their real controls; MemoryForm implements it over a layout table, for the developer
// console and the tests. All texts are ANSI bytes (code page 932), as Resource.ini holds them.

enum class ComponentKind {
    Form,
    Edit,
    ComboBox,
    OtherControl,  // labels, buttons, check and radio boxes, group boxes, panels, bevels, images, scroll boxes
    NotAControl,   // dialogs and other components without a window: never localised
};

ComponentKind ComponentKindOf(ControlKind kind);

class LocalisableComponent {
public:
    virtual ~LocalisableComponent() = default;

    virtual std::string Name() const = 0;
    virtual ComponentKind Kind() const = 0;

    // A kind without the property reads "" and ignores writes; only a combo box has items.
    virtual std::string Caption() const { return {}; }
    virtual void SetCaption(const std::string&) {}
    virtual std::string Hint() const { return {}; }
    virtual void SetHint(const std::string&) {}
    virtual std::string Text() const { return {}; }
    virtual void SetText(const std::string&) {}
    virtual int ItemCount() const { return 0; }
    virtual std::string Item(int) const { return {}; }
    // Replaces an existing item; an index outside the list is ignored.
    virtual void SetItem(int, const std::string&) {}
};

class LocalisableForm : public LocalisableComponent {
public:
    ComponentKind Kind() const override { return ComponentKind::Form; }

    // The components the form owns, in design order.
    virtual size_t ComponentCount() const = 0;
    virtual LocalisableComponent& Components(size_t index) = 0;
};

// A form built from a layout table with its design texts, holding them in memory.
class MemoryForm : public LocalisableForm {
public:
    explicit MemoryForm(const FormLayout& layout);
    ~MemoryForm() override;

    std::string Name() const override { return name_; }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& value) override { caption_ = value; }
    size_t ComponentCount() const override { return components_.size(); }
    LocalisableComponent& Components(size_t index) override;

    // The owned component of that name (exact spelling), or nullptr.
    LocalisableComponent* Find(const std::string& name);

private:
    std::string name_;
    std::string caption_;
    std::vector<std::unique_ptr<LocalisableComponent>> components_;
};
