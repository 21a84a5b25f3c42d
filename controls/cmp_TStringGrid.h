// Grids of cells on a kit window of our own, painted in Paint: a row and a
// column of fixed (heading) cells, lines between the cells, the current
// cell (Col, Row) drawn selected and with the focus, scroll bars when the
// cells do not fit.  TCustomDrawGrid lets the form draw the cells
// (OnDrawCell) and veto a selection (OnSelectCell); TStringGrid keeps a text
// and an object per cell.
//
// As in the VCL, moving the current cell (a click, the keys, or Row/Col
// set in code) asks OnSelectCell first and fires OnClick after.
#pragma once

#include <vector>

#include "controls/cmp_TGraphics.h"
#include "controls/cmp_TStdCtrls.h"

QV_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)

enum TGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
  goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
  goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = uint32_t;  // bit n: option n
extern const TEnumInfo GridOptionInfo;

enum TGridDrawStateBit { gdSelected, gdFocused, gdFixed };
using TGridDrawState = uint8_t;  // bit n: state n

using TDrawCellEvent =
    TEvent<void(TPersistent* Sender, int ACol, int ARow, const RECT& Rect, TGridDrawState State)>;
using TSelectCellEvent = TEvent<void(TPersistent* Sender, int ACol, int ARow, bool& CanSelect)>;

// Registered window messages the test driver sends a grid: select cell
// MAKEWPARAM(col, row) as a click does (1 when it was selected, else 0), and
// ask for the current cell (MAKELRESULT(col, row)).
constexpr const char* GridSelectMessage = "Quorvane.GridSelect";
constexpr const char* GridSelectionMessage = "Quorvane.GridSelection";

class TCustomGrid : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomGrid(TComponent* AOwner);

  int32_t ColCount() const { return FCols.Count; }
  void SetColCount(int32_t V);
  int32_t RowCount() const { return FRows.Count; }
  void SetRowCount(int32_t V);
  int32_t FixedCols() const { return FCols.Fixed; }
  void SetFixedCols(int32_t V);
  int32_t FixedRows() const { return FRows.Fixed; }
  void SetFixedRows(int32_t V);
  // Setting a default size resets every column's (row's) size.
  int32_t DefaultColWidth() const { return FCols.DefaultSize; }
  void SetDefaultColWidth(int32_t V);
  int32_t DefaultRowHeight() const { return FRows.DefaultSize; }
  void SetDefaultRowHeight(int32_t V);
  int32_t ColWidths(int Index) const;
  void SetColWidths(int Index, int32_t V);
  int32_t RowHeights(int Index) const;
  void SetRowHeights(int Index, int32_t V);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions V);
  bool HasOption(TGridOption O) const { return (FOptions >> O) & 1; }
  int32_t GridLineWidth() const { return FCols.LineWidth; }
  void SetGridLineWidth(int32_t V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle V);
  bool DefaultDrawing = true;

  // The current cell.
  int32_t Col() const { return FCol; }
  void SetCol(int32_t V);
  int32_t Row() const { return FRow; }
  void SetRow(int32_t V);
  // The first scrollable column and row in sight.
  int32_t LeftCol() const { return FCols.First; }
  void SetLeftCol(int32_t V);
  int32_t TopRow() const { return FRows.First; }
  void SetTopRow(int32_t V);

  // In client coordinates, without the lines; empty when out of sight.
  RECT CellRect(int ACol, int ARow) const;
  // The cell under a client point; false (and -1, -1) outside the cells.
  bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  // The canvas on the paint DC while the grid paints.
  TCanvas& Canvas() { return FCanvas; }

  void Loaded() override;
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint(HDC DC) override;
  void Resize() override;
  virtual void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) {}
  virtual bool SelectCell(int ACol, int ARow) { return true; }
  // The counts changed; OldCols x OldRows cells existed before.
  virtual void SizeChanged(int OldCols, int OldRows) {}
  void InvalidateCell(int ACol, int ARow);
  void CheckCell(int ACol, int ARow) const;

 private:
  // One direction of the grid: columns across, rows down.
  struct TAxis {
    int32_t Count = 5, Fixed = 1, DefaultSize = 64, First = 1, LineWidth = 1;
    bool FixedLines = true, Lines = true;
    std::vector<int32_t> Sizes = std::vector<int32_t>(5, 64);
    int32_t LineAfter(int I) const { return (I < Fixed ? FixedLines : Lines) ? LineWidth : 0; }
    int32_t Step(int I) const { return Sizes[static_cast<size_t>(I)] + LineAfter(I); }
    int32_t FixedExtent() const;
    // Where cell I starts, -1 when it is scrolled out of sight.
    int32_t Start(int I) const;
    // The cells in sight in a client of Extent pixels, fixed first.
    std::vector<int> InSight(int32_t Extent) const;
    int CellAt(int32_t Pixel, int32_t Extent) const;
    // The last First that still fills the client.
    int32_t MaxFirst(int32_t Extent) const;
    // Scrollable cells wholly in sight from First.
    int FullyInSight(int32_t Extent) const;
    // The First that brings cell I into sight.
    int32_t FirstShowing(int I, int32_t Extent) const;
    void Resize(int32_t NewCount) {
      Count = NewCount;
      Sizes.resize(static_cast<size_t>(NewCount), DefaultSize);
    }
  };
  void SetCount(TAxis& A, int32_t V, const char* What);
  void SetFixed(TAxis& A, int32_t V, const char* What);
  void SetDefaultSize(TAxis& A, int32_t V);
  void SetFirst(TAxis& A, int32_t V, int32_t Extent);
  void Changed();
  void ClampCurrent();
  // Moves the current cell as the user does; false when the cell cannot be
  // selected (fixed, outside the grid, or refused by SelectCell).
  bool FocusCell(int ACol, int ARow);
  void KeyMove(WORD Key);
  void Scroll(TAxis& A, int Bar, WORD Code);
  void UpdateScrollBars();
  void PaintCell(int ACol, int ARow, const RECT& R);
  int32_t ClientW() const;
  int32_t ClientH() const;

  TAxis FCols, FRows;
  int32_t FCol = 1, FRow = 1;
  TGridOptions FOptions = (1u << goFixedVertLine) | (1u << goFixedHorzLine) | (1u << goVertLine) |
                          (1u << goHorzLine) | (1u << goRangeSelect);
  TBorderStyle FBorderStyle = bsSingleBorder;
  TScrollStyle FScrollBars = ssBoth;
  TCanvas FCanvas;
  bool FUpdatingScrollBars = false;
};

class TCustomDrawGrid : public TCustomGrid {
  QV_CLASS()
 public:
  using TCustomGrid::TCustomGrid;
  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

 protected:
  void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) override;
  bool SelectCell(int ACol, int ARow) override;
};

class TStringGrid : public TCustomDrawGrid {
  QV_CLASS()
 public:
  explicit TStringGrid(TComponent* AOwner);
  const std::string& Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const std::string& S);
  void* Objects(int ACol, int ARow) const;
  void SetObjects(int ACol, int ARow, void* Obj);

 protected:
  void DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) override;
  void SizeChanged(int OldCols, int OldRows) override;

 private:
  struct TCell {
    std::string Text;
    void* Object = nullptr;
  };
  TCell& CellAt(int ACol, int ARow) const;
  // Row by row; resizing keeps the cells that remain.
  mutable std::vector<std::vector<TCell>> FCells;
};
