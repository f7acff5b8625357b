#pragma once
namespace zv {
class FormRegistry;
// frmMenu (main menu).
void registerMenuForms(FormRegistry& forms);
}  // namespace zv
