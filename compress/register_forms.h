#pragma once
namespace zv {
class FormRegistry;
// Comp1 (file selection) and Comp2 (archive creation).
void registerCompressForms(FormRegistry& forms);
}  // namespace zv
