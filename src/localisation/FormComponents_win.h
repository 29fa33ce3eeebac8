#pragma once
#include <memory>
#include <vector>

#include "localisation/Components.h"
#include "win32/Form.h"

// The localiser's view of a real form: the form's caption and, in design order, every row of
// its layout: the controls as the toolkit made them, and the rows that make no window
// (dialogs, the theme component) as components the localiser passes over.
class FormComponents final : public LocalisableForm {
public:
    FormComponents(Form& form, const FormLayout& layout);
    FormComponents(const FormComponents&) = delete;
    FormComponents& operator=(const FormComponents&) = delete;

    std::string Name() const override { return form_.Name(); }
    std::string Caption() const override { return form_.Caption(); }
    void SetCaption(const std::string& value) override { form_.SetCaption(value); }
    size_t ComponentCount() const override { return components_.size(); }
    LocalisableComponent& Components(size_t index) override { return *components_.at(index); }

private:
    Form& form_;
    std::vector<std::unique_ptr<LocalisableComponent>> components_;
};
