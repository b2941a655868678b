// TDBGrid: the rows of a data source in columns, painted by the grid itself (only the rows that
// show are read), with its own scroll bars, a title row and an indicator column, column resizing
// by the mouse and in-place editing by keyboard and mouse. Windows only.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "classlib/controls/stdctrls.h"
#include "classlib/db/db.h"

class TDBGrid;
class TColumn;

KARO_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
          dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect);
using TDBGridOptions = TSet<TDBGridOption>;

class TColumnTitle : public TPersistent {
  KARO_CLASS(TColumnTitle)
public:
  explicit TColumnTitle(TColumn* column) : column_(column) {}
  // The field name when no caption is set.
  WideString Caption() const;
  void SetCaption(const WideString& v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TFont* Font() { return &font_; }
  void SetFont(TFont* f) { font_.Assign(f); }
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

private:
  TColumn* column_;
  WideString caption_;
  TAlignment alignment_ = taLeftJustify;
  TFont font_;
};

class TColumn : public TCollectionItem {
  KARO_CLASS(TColumn)
public:
  explicit TColumn(TCollection* c);
  ~TColumn() override;
  const WideString& FieldName() const { return fieldName_; }
  void SetFieldName(const WideString& v);
  TColumnTitle* Title() { return title_.get(); }
  void SetTitle(TColumnTitle* t) { title_->Assign(t); }
  // 64 pixels unless set.
  int Width() const { return width_; }
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v) { expanded_ = v; }
  // The grid's field of this column, or null.
  TField* Field() const;
  TDBGrid* Grid() const;
  void Assign(TPersistent* source) override;
  std::string GetDisplayName() const override { return WideToAnsi(fieldName_); }

private:
  friend class TColumnTitle;
  void Changed() { TCollectionItem::Changed(false); }
  WideString fieldName_;
  std::unique_ptr<TColumnTitle> title_;
  int width_ = 64;
  TAlignment alignment_ = taLeftJustify;
  bool readOnly_ = false;
  bool visible_ = true;
  bool expanded_ = true;
};

class TDBGridColumns : public TOwnedCollection {
  KARO_CLASS(TDBGridColumns)
public:
  explicit TDBGridColumns(TDBGrid* grid);
  TColumn* Items(int i) const { return static_cast<TColumn*>(TCollection::Items(i)); }
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TDBGrid* Grid() const { return grid_; }

protected:
  void Update(TCollectionItem* item) override;

private:
  TDBGrid* grid_;
};

class TDBGrid : public TCustomControl {
  KARO_CLASS(TDBGrid)
public:
  explicit TDBGrid(TComponent* owner);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* s);
  TDataSet* DataSet() const;
  TDBGridColumns* Columns() { return columns_.get(); }
  void SetColumns(TDBGridColumns* c) { columns_->Assign(c); }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  // The title row's font: the grid's own font until it is set or changed for itself.
  TFont* TitleFont() { return &titleFont_; }
  void SetTitleFont(TFont* f) { titleFont_.Assign(f); }
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor c);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);

  // The columns shown: the Columns collection, or one per field when it is empty.
  int ColumnCount() const;
  TColumn* ShownColumn(int index) const;
  // The selected column (from 0).
  int SelectedIndex() const { return selCol_; }
  void SetSelectedIndex(int v);
  TField* SelectedField() const;
  // The record shown in the first data row (from 0).
  int TopRecord() const { return top_; }
  int RowHeight();
  int TitleHeight();
  // Records that fit in the client area (whole ones).
  int VisibleRowCount();
  bool EditorMode() const { return editor_ != nullptr && editorShown_; }
  void SetEditorMode(bool v);
  // The in-place editor's window while it shows (else 0).
  HWND EditorHandle() const;
  // Seam of the delete confirmation (dgConfirmDelete): answers true to delete.
  static std::function<bool(TDBGrid*)> ConfirmDelete;
  // The cell rectangle of a record and a shown column, in client coordinates.
  TRect CellRect(int record, int column);

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnColEnter, OnColExit;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoExit() override;
  void Resize() override;
  void Notification(TComponent* c, TOperation op) override;

private:
  friend class TGridDataLink;
  friend class TInplaceEdit;
  friend class TDBGridColumns;
  // The dataset moved, changed or changed state.
  void LinkChanged();
  void ScrollToCurrent();
  void UpdateScrollBars();
  void WriteEditor();
  void HideEditor();
  void ShowEditor(const WideString* initial);
  void PlaceEditor();
  bool CanEditGrid();
  int IndicatorWidth() const { return options_.Contains(dgIndicator) ? 11 : 0; }
  int ColumnLeft(int column);
  // The shown column at x (-1 for none) and, for a title border, the column it resizes.
  int ColumnAt(int x);
  int ResizeColumnAt(int x, int y);
  void MoveCol(int delta);
  void WMVScroll(TWMScroll& m);
  void WMHScroll(TWMScroll& m);
  void WMGetDlgCode(TMessage& m);
  void WMMouseWheel(TWMMouseWheel& m);
  void WMSetCursorGrid(TWMSetCursor& m);
  void CMFontChanged(TMessage& m);

  std::unique_ptr<class TGridDataLink> link_;
  std::unique_ptr<TDBGridColumns> columns_;
  std::unique_ptr<TDBGridColumns> autoColumns_;  // one per field while Columns is empty
  class TInplaceEdit* editor_ = nullptr;
  bool editorShown_ = false;
  TDBGridOptions options_{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                          dgConfirmDelete, dgCancelOnExit};
  bool readOnly_ = false;
  TFont titleFont_;
  bool titleFollowsFont_ = true;
  bool followingFont_ = false;
  TColor fixedColor_ = clBtnFace;
  TBorderStyle borderStyle_ = bsSingle;
  int top_ = 0;
  int selCol_ = 0;
  int hOffset_ = 0;
  int resizing_ = -1, resizeStartX_ = 0, resizeStartWidth_ = 0;
  bool editorModified_ = false;
  bool settingEditor_ = false;
  bool updatingScrollBars_ = false;
  std::array<int, 3> vertBar_{-1, -1, -1}, horzBar_{-1, -1, -1};  // max, page and position last set
  HFONT rowFont_ = nullptr, titleFontHandle_ = nullptr;
  int rowHeight_ = 18, titleHeight_ = 19;
};
