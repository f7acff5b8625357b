#pragma once
namespace zv {
class FormRegistry;
// Viewer, PicView, frmWait, frmAbout.
void registerViewerForms(FormRegistry& forms);
// frmFP (file information) and Dialog (new folder / rename).
void registerInfoForms(FormRegistry& forms);
// frmOption.
void registerOptionForms(FormRegistry& forms);
}  // namespace zv
