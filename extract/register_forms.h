#pragma once
namespace zv {
class FormRegistry;
// DeComp1, DeComp2, DeComp3 and frmish.
void registerExtractForms(FormRegistry& forms);
}  // namespace zv
