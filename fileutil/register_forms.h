#pragma once
namespace zv {
class FormRegistry;
// DeComp4 (file utility).
void registerFileUtilityForms(FormRegistry& forms);
}  // namespace zv
