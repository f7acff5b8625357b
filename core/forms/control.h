// Control models: every window's state lives in these. The Qt binding draws them and forwards
// the user's actions to the same entry points the tests call (click(), mouseDown(), ...).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zv {

class Form;

enum class Kind {
  Label,
  TextBox,
  ListBox,
  ComboBox,
  OptionButton,
  CheckBox,
  CommandButton,
  Picture,  // an image, usually acting as a button
  Frame,    // container of other controls (groups option buttons)
  Shape,
  MenuItem,
  DriveList,
  FolderList,
  FileList,
  Hidden,  // working control that is never shown
};

enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftState : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };

// Key codes of keyDown: letters and digits are their upper-case character codes.
enum KeyCode : int {
  kKeyBack = 8,
  kKeyTab = 9,
  kKeyReturn = 13,
  kKeyEscape = 27,
  kKeySpace = 32,
  kKeyPageUp = 33,
  kKeyPageDown = 34,
  kKeyEnd = 35,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyInsert = 45,
  kKeyDelete = 46,
  kKeyApps = 93,
  kKeyF1 = 112,
  kKeyF2 = 113,
  kKeyF5 = 116,
  kKeyF6 = 117,
  kKeyF10 = 121,
};

enum class MultiSelect { None, Simple, Extended };
enum class ComboStyle { Dropdown, Simple, DropdownList };

struct FontSpec {
  std::string name = "ＭＳ Ｐゴシック";
  double size = 9;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const FontSpec&) const = default;
};

// Colours as 0xRRGGBB.
constexpr uint32_t kDefaultBack = 0xF0F0F0;
constexpr uint32_t kWindowBack = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

struct MouseEvent {
  int button = kLeftButton;
  int shift = 0;
  double x = 0;  // twips inside the control
  double y = 0;
};

// One entry of a folder list: the ancestors of the current folder (from the drive root down,
// the current folder last among them) followed by its subfolders.
struct FolderEntry {
  std::string path;   // full program path
  std::string label;  // what the list shows
  int depth = 0;
  bool open = false;  // the current folder or one of its ancestors
};

class Control {
 public:
  using Handler = std::function<void()>;
  using MouseHandler = std::function<void(const MouseEvent&)>;
  using DropHandler = std::function<void(Control& source, double x, double y)>;
  // Files another program dropped or pasted here, as program paths.
  using FilesHandler = std::function<void(const std::vector<std::string>& paths)>;
  // The files a drag out of the control offers other programs, as program paths; empty when
  // there is nothing to offer (nothing chosen, or the user cancelled preparing them).
  using DragOutHandler = std::function<std::vector<std::string>()>;
  using KeyHandler = std::function<void(int& keyAscii)>;
  // A key went down on the control; setting keyCode to 0 means the window handled it.
  using KeyDownHandler = std::function<void(int& keyCode, int shift)>;

  Control(Form& form, std::string name, Kind kind);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  Kind kind() const { return kind_; }
  Form& form() const { return form_; }

  // ---- common properties (setters notify the form's observers) ----
  // Caption of labels, buttons, frames, menu items, option buttons and check boxes; text of
  // text boxes and combo boxes. For a text box or combo box a change fires onChange.
  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  const std::string& caption() const { return text_; }
  void setCaption(const std::string& caption) { setText(caption); }

  bool visible() const { return visible_; }
  void setVisible(bool v);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  const std::string& tooltip() const { return tooltip_; }
  void setTooltip(const std::string& t);
  // What a screen reader says about the control where its caption and tooltip do not say it
  // (what a picture button does, whether a lamp is lit).
  const std::string& description() const { return description_; }
  void setDescription(const std::string& d);

  double left() const { return left_; }
  double top() const { return top_; }
  double width() const { return width_; }
  double height() const { return height_; }
  void setLeft(double v);
  void setTop(double v);
  void setWidth(double v);
  void setHeight(double v);
  void move(double left, double top, double width, double height);

  const FontSpec& font() const { return font_; }
  void setFont(const FontSpec& f);
  void setFontName(const std::string& n);
  void setFontSize(double s);
  uint32_t foreColor() const { return foreColor_; }
  void setForeColor(uint32_t c);
  uint32_t backColor() const { return backColor_; }
  void setBackColor(uint32_t c);

  // Artwork name of a picture (the Qt binding draws art/<name>.svg); empty for none.
  const std::string& picture() const { return picture_; }
  void setPicture(const std::string& artwork);

  // Name of the frame this control sits in; empty for the form itself.
  const std::string& container() const { return container_; }
  void setContainer(const std::string& frame);

  int tabIndex() const { return tabIndex_; }
  void setTabIndex(int i);
  // Command buttons: Enter presses the default button, Esc the cancel button (which may also
  // be a picture or menu item that closes the window).
  bool isDefault() const { return default_; }
  void setDefault(bool d);
  bool isCancel() const { return cancel_; }
  void setCancel(bool c);
  // The picture that selects every entry of the window's list: Ctrl+A presses it.
  bool selectsAll = false;

  // Free text the windows may keep on a control.
  std::string tag;

  // ---- check boxes (0 unchecked, 1 checked, 2 grey), option buttons (0/1), menu check ----
  int value() const { return value_; }
  // Option buttons: setting 1 clears the other option buttons of the same container and
  // fires onClick; check boxes fire onClick on a change.
  void setValue(int v);
  bool checked() const { return value_ != 0; }
  void setChecked(bool c);

  // ---- labels ----
  // Sized to its caption, as a label that grows with its text: it shows nothing while empty.
  bool autoSize = false;

  // ---- text boxes ----
  bool multiLine = false;
  bool locked = false;
  bool scrollBars = false;
  int maxLength = 0;
  int selStart() const { return selStart_; }
  int selLength() const { return selLength_; }
  void setSelection(int start, int length);

  // ---- list boxes, combo boxes, file lists, drive lists ----
  MultiSelect multiSelect() const { return multiSelect_; }
  void setMultiSelect(MultiSelect m);
  ComboStyle comboStyle = ComboStyle::Dropdown;
  bool sorted = false;
  // For a folder list: the number of subfolders (list(-1) is the current folder, list(-2) its
  // parent, list(0).. the subfolders); its listIndex indexes folderEntries().
  int listCount() const;
  const std::vector<std::string>& items() const { return items_; }
  // Item text; an index out of range raises runtime error 381.
  std::string list(int index) const;
  void setList(int index, const std::string& text);
  void addItem(const std::string& text, int index = -1);
  void removeItem(int index);
  void clear();
  // -1 for none. Setting it fires onClick for list boxes and file lists (as a user click does)
  // and, for combo boxes, puts the item into the text.
  int listIndex() const { return listIndex_; }
  void setListIndex(int index);
  bool selected(int index) const;
  void setSelected(int index, bool sel);
  int selCount() const;
  int topIndex = 0;
  // Horizontal scroll extent in pixels (0: none).
  int horizontalExtent() const { return hExtent_; }
  void setHorizontalExtent(int px);
  // Labels and text boxes: how the text sits in the control (a long path can be read from
  // either end).
  enum Align : int { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
  int alignment() const { return alignment_; }
  void setAlignment(int a);
  // A user click on an item, with Ctrl/Shift as the list's selection mode interprets them;
  // updates the selection and fires onClick.
  void userSelect(int index, int shift = 0);

  // ---- drive lists: "c:" style current drive ----
  const std::string& drive() const { return drive_; }
  // Accepts "C", "c:", "C:\..."; raises 68 for a drive that is not ready. Fires onChange.
  void setDrive(const std::string& drive);

  // ---- folder lists and file lists ----
  // Folder list: the current folder; setting it resolves the text (a bare "C:" means that
  // drive's current folder), raises 68/76 when it cannot be shown, fills the entries and fires
  // onChange when it changed. File list: the folder whose files are listed; fires onPathChange.
  const std::string& path() const { return path_; }
  void setPath(const std::string& path);
  const std::vector<FolderEntry>& folderEntries() const { return folders_; }
  // File list: patterns separated by ';', matched without regard to case; fires onPatternChange.
  const std::string& pattern() const { return pattern_; }
  void setPattern(const std::string& pattern);
  // File list: the selected file name ("" when none). Folder list: path of the selected entry.
  std::string fileName() const;
  // Re-reads the folder (file list) or the subfolders (folder list).
  void refresh();

  // ---- menu items ----
  // Name of the parent menu item; empty for an item on the menu bar.
  const std::string& parentMenu() const { return container_; }
  bool isSeparator() const { return kind_ == Kind::MenuItem && text_ == "-"; }

  // ---- events (assigned by the window logic) ----
  Handler onClick, onDblClick, onChange, onPathChange, onPatternChange, onGotFocus, onLostFocus;
  MouseHandler onMouseDown, onMouseUp, onMouseMove;
  DropHandler onDragDrop, onDragOver;
  FilesHandler onFilesDropped;
  DragOutHandler onDragOut;
  KeyHandler onKeyPress;
  KeyDownHandler onKeyDown;

  // ---- entry points used by the Qt binding and by tests ----
  // click(): option buttons become set, check boxes toggle, then onClick.
  void click();
  // dblClick(): a folder list first opens the selected entry (as the control does itself).
  void dblClick();
  void mouseDown(int button = kLeftButton, int shift = 0, double x = 0, double y = 0);
  void mouseUp(int button = kLeftButton, int shift = 0, double x = 0, double y = 0);
  void mouseMove(int button = 0, int shift = 0, double x = 0, double y = 0);
  // The user typed into a text box or combo box: text and cursor change, onChange fires.
  void userType(const std::string& text);
  void keyPress(int& keyAscii);
  void keyDown(int& keyCode, int shift = 0);
  // Lists: the focused item (listIndex) moves without touching the selection (Ctrl+arrow).
  void moveFocusTo(int index);
  // Something dragged from `source` was dropped on this control.
  void dragDrop(Control& source, double x = 0, double y = 0);
  // Files from another program were dropped on this control.
  void filesDropped(const std::vector<std::string>& paths);
  // A drag out of this control towards other programs begins: the files it carries.
  std::vector<std::string> dragOut();
  // The window logic asks for the focus to move here.
  void setFocus();
  // The window logic starts a drag from this control (the binding performs it).
  void drag();

 private:
  void notify();
  void fillFolderEntries();
  void fillFiles();
  void applyDrive(const std::string& drive, bool checkReady);

  Form& form_;
  std::string name_;
  Kind kind_;
  std::string text_, tooltip_, description_, picture_, container_;
  bool visible_ = true, enabled_ = true, default_ = false, cancel_ = false;
  double left_ = 0, top_ = 0, width_ = 1215, height_ = 375;
  FontSpec font_;
  uint32_t foreColor_ = kBlack, backColor_ = kDefaultBack;
  int tabIndex_ = 0;
  int value_ = 0;
  int selStart_ = 0, selLength_ = 0;
  MultiSelect multiSelect_ = MultiSelect::None;
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int listIndex_ = -1;
  int anchor_ = -1;
  int hExtent_ = 0;
  int alignment_ = AlignLeft;
  std::string drive_, path_, pattern_ = "*.*";
  std::vector<FolderEntry> folders_;
};

}  // namespace zv
