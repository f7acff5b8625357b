#pragma once
namespace zv {
class FormRegistry;
// Makes every window of the program known to the registry.
void registerAllForms(FormRegistry& forms);
}  // namespace zv
