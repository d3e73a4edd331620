// Forms: attributes, reset, radio groups and submission.
#include "html/document/html_form.h"

#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "html/reader/text_utils.h"
#include "platform/charset.h"
#include "text/case_fold.h"
#include "text/utf.h"

namespace brisomel {

ThtmlForm::ThtmlForm(TSectionList* List, const TAttributeList& Attributes) : MasterList(List) {
  for (const auto& attribute : Attributes) {
    switch (attribute->Symbol) {
      case symMethod:
        Method = attribute->Text.substr(0, kMaxMethod);
        break;
      case symAction:
        Action = attribute->Text;
        break;
      case symTarget:
        Target = attribute->Text;
        break;
      case symEnctype:
        EncType = attribute->Text;
        break;
      default:
        break;
    }
  }
}

ThtmlForm& ThtmlForm::Create(TSectionList& List, const TAttributeList& Attributes) {
  List.Forms.push_back(std::make_unique<ThtmlForm>(&List, Attributes));
  return *List.Forms.back();
}

TFormControlObj* ThtmlForm::Add(std::unique_ptr<TFormControlObj> Control, bool Hidden) {
  TFormControlObj* added = Control.get();
  ControlList.push_back(std::move(Control));
  if (!Hidden) ++NonHiddenCount;
  if (MasterList) MasterList->FormControls.push_back(added);
  return added;
}

void ThtmlForm::ResetControls() {
  for (const auto& control : ControlList) control->ResetToValue();
}

std::vector<std::string> ThtmlForm::Pairs(const std::u16string* Extra) {
  const Encoding encoding = MasterList ? MasterList->PageEncoding : Encoding::kWindows1252;
  std::vector<std::string> pairs;
  for (const auto& control : ControlList) {
    std::u16string S;
    for (int index = 0; control->GetSubmission(index, S); ++index) {
      if (!S.empty()) pairs.push_back(EncodeForForm(S, encoding));
      S.clear();
    }
  }
  if (Extra) pairs.push_back(EncodeForForm(*Extra, encoding));
  return pairs;
}

void ThtmlForm::SubmitForm(const std::u16string* Extra) {
  if (!MasterList || !MasterList->FormSubmitHandler) return;
  const std::vector<std::string> pairs = Pairs(Extra);
  MasterList->FormSubmitHandler(MasterList->Owner, Utf16ToUtf8(Action), pairs, Utf16ToUtf8(Method),
                                Utf16ToUtf8(EncType), Utf16ToUtf8(Target));
}

void ThtmlForm::RadioClicked(TFormControlObj* Button) {
  if (!Button || Button->Name.empty()) return;
  const std::u16string name = FoldCase(Button->Name);
  for (const auto& control : ControlList) {
    if (control.get() == Button) continue;
    auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(control.get());
    if (radio && FoldCase(radio->Name) == name) radio->SetChecked(false);
  }
}

void ThtmlForm::ReturnPressed() {
  // Buttons and image inputs are not fields: a form of one field and its submit button
  // submits on Enter, one of two fields does not.
  int fields = 0;
  for (const auto& control : ControlList) {
    if (!dynamic_cast<THiddenFormControlObj*>(control.get()) &&
        !dynamic_cast<TButtonFormControlObj*>(control.get()) &&
        !dynamic_cast<TImageFormControlObj*>(control.get()))
      ++fields;
  }
  if (fields == 1) SubmitForm();
}

}  // namespace brisomel
