// A FORM: the controls that belong to it in document order, its METHOD, ACTION, TARGET and
// ENCTYPE, and what it does for its controls: reset them all, keep radio groups exclusive,
// and collect the name-and-value pairs of a submission for the document's submit handler.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/document/form_control_base.h"

namespace brisomel {

class ThtmlForm {
 public:
  static constexpr size_t kMaxMethod = 4;

  // Reads METHOD (at most 4 characters; "Get" when absent), ACTION, TARGET and ENCTYPE.
  ThtmlForm(TSectionList* List, const TAttributeList& Attributes);
  // A new form registered in the document's Forms.
  static ThtmlForm& Create(TSectionList& List, const TAttributeList& Attributes);

  // Takes a new control: appended to the form and to the document's FormControls.
  TFormControlObj* Add(std::unique_ptr<TFormControlObj> Control, bool Hidden);

  void ResetControls();
  // The pairs of every control in form order, then Extra when given, each encoded as the
  // page's encoding submits it (EncodeForForm).
  std::vector<std::string> Pairs(const std::u16string* Extra);
  // Hands the pairs to the document's submit handler; nothing without one.
  void SubmitForm(const std::u16string* Extra = nullptr);
  // Unchecks every other radio button of the form with the same name, ignoring case; a radio
  // button without a name affects nothing.
  void RadioClicked(TFormControlObj* Button);
  // Enter in an edit control submits the form when it has one field: one control that is
  // neither a hidden field nor a button nor an image input.
  void ReturnPressed();

  TSectionList* MasterList;
  std::u16string Method = u"Get";
  std::u16string Action, Target, EncType;
  std::vector<std::unique_ptr<TFormControlObj>> ControlList;
  int32_t NonHiddenCount = 0;
};

}  // namespace brisomel
