#include "platform/posix/terminal/render.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

// Nothing useful is drawn past this many rows or columns; the cap keeps a
// template with absurd coordinates from costing unbounded memory.
constexpr int kLargestSide = 500;

// The widest frame that still fits an 80-column terminal with a cell to spare.
constexpr int kPreferredWidth = 78;

// Units per column and per row to try, coarsest layout first.
constexpr int kColumnUnits[] = {4, 5, 6, 7, 8};
constexpr int kRowUnits[] = {8, 6, 5, 4};

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// a / b rounded to the nearest integer, halves upwards.
int64_t RoundDiv(int64_t a, int64_t b) { return FloorDiv(2 * a + b, 2 * b); }

int Clamp(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, -kLargestSide, kLargestSide));
}

bool IsOneRow(const Item& item) { return item.kind != ItemKind::kGroupBox; }

// The cells an item's one-row label needs at most (the push button's widest form).
int LabelNeed(const Item& item) {
    const int caption = CellCount(item.caption);
    switch (item.kind) {
        case ItemKind::kAutoRadioButton:
            return 1 + 4 + caption + 1;  // marker, "(*) ", caption, a space before any border
        case ItemKind::kPushButton:
        case ItemKind::kDefaultPushButton:
            return 1 + 3 + caption + 3;  // marker, "[[ ", caption, " ]]"
        case ItemKind::kGroupBox:
            return caption > 0 ? caption + 6 : 3;  // "+- caption -+"
        case ItemKind::kText:
            return caption;
    }
    return caption;
}

int64_t RightEdge(const Item& item) { return int64_t{item.x} + std::max(item.width, 1); }
int64_t BottomEdge(const Item& item) { return int64_t{item.y} + std::max(item.height, 1); }

struct Placement {
    int row = 0;     // one-row items: their row; group boxes: the top border
    int bottom = 0;  // group boxes: the bottom border
    int left = 0;    // first column
    int right = 0;   // one past the last column
};

struct Layout {
    int columns = 0;  // inside the frame
    int rows = 0;
    std::vector<Placement> places;
};

// Columns for every item at the given units per column. Distinct edges keep
// at least one column between them, so that a control inside a group box
// never lands on its border, and each right edge moves right as far as the
// label before it needs.
void PlaceColumns(const DialogModel& model, int units, Layout& layout) {
    const std::vector<Item>& items = model.items();
    std::vector<int64_t> edges = {0, std::max(model.width(), 0)};
    for (const Item& item : items) {
        edges.push_back(item.x);
        edges.push_back(RightEdge(item));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<int64_t> columns(edges.size(), 0);
    const auto columnOf = [&](int64_t edge) {
        return columns[std::lower_bound(edges.begin(), edges.end(), edge) - edges.begin()];
    };
    // Items by right edge, so each edge sees the labels that end there.
    std::vector<size_t> byRight(items.size());
    for (size_t i = 0; i < items.size(); ++i) byRight[i] = i;
    std::sort(byRight.begin(), byRight.end(),
              [&](size_t a, size_t b) { return RightEdge(items[a]) < RightEdge(items[b]); });
    size_t next = 0;
    for (size_t k = 1; k < edges.size(); ++k) {
        int64_t column =
            columns[k - 1] + std::max<int64_t>(1, RoundDiv(edges[k] - edges[k - 1], units));
        for (; next < byRight.size() && RightEdge(items[byRight[next]]) == edges[k]; ++next) {
            const Item& item = items[byRight[next]];
            column = std::max(column, columnOf(item.x) + LabelNeed(item));
        }
        columns[k] = std::min<int64_t>(column, kLargestSide);
    }

    layout.columns = Clamp(std::max<int64_t>(columns.back(), CellCount(model.caption()) + 4));
    layout.places.assign(items.size(), Placement());
    for (size_t i = 0; i < items.size(); ++i) {
        Placement& place = layout.places[i];
        place.left = Clamp(columnOf(items[i].x));
        place.right = Clamp(columnOf(RightEdge(items[i])));
        if (items[i].kind == ItemKind::kPushButton ||
            items[i].kind == ItemKind::kDefaultPushButton) {
            // Buttons are centred in their space, as their captions are on Windows.
            place.left += (place.right - place.left - LabelNeed(items[i])) / 2;
        }
    }
}

// Rows for every item at the given units per row; false when two items would
// claim the same cell.
bool PlaceRows(const DialogModel& model, int units, Layout& layout) {
    const std::vector<Item>& items = model.items();
    int64_t lowest = 0;
    int64_t highest = RoundDiv(model.height(), units) - 1;
    std::vector<int64_t> rows(items.size()), bottoms(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (IsOneRow(item)) {
            rows[i] = bottoms[i] =
                RoundDiv(2 * int64_t{item.y} + std::max(item.height, 1), 2 * units);
        } else {
            rows[i] = RoundDiv(item.y, units);
            bottoms[i] = RoundDiv(BottomEdge(item), units);
        }
        lowest = std::min(lowest, rows[i]);
        highest = std::max(highest, bottoms[i]);
    }
    // Anything above the dialog's top moves everything down with it.
    layout.rows = Clamp(std::max<int64_t>(highest - lowest + 1, 1));
    for (size_t i = 0; i < items.size(); ++i) {
        layout.places[i].row = Clamp(rows[i] - lowest);
        layout.places[i].bottom = Clamp(bottoms[i] - lowest);
    }

    std::vector<signed char> taken(static_cast<size_t>(layout.rows) * layout.columns, 0);
    bool clash = false;
    const auto claim = [&](int row, int column) {
        if (row < 0 || row >= layout.rows || column < 0 || column >= layout.columns) return;
        signed char& cell = taken[static_cast<size_t>(row) * layout.columns + column];
        if (cell) clash = true;
        cell = 1;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const Placement& place = layout.places[i];
        if (IsOneRow(items[i])) {
            const int need = LabelNeed(items[i]);
            for (int c = 0; c < need; ++c) claim(place.row, place.left + c);
            continue;
        }
        if (place.bottom <= place.row) return false;  // a box needs two borders
        for (int c = place.left; c < place.right; ++c) {
            claim(place.row, c);
            claim(place.bottom, c);
        }
        for (int r = place.row + 1; r < place.bottom; ++r) {
            claim(r, place.left);
            claim(r, place.right - 1);
        }
    }
    return !clash;
}

Layout MakeLayout(const DialogModel& model) {
    Layout layout;
    for (int units : kColumnUnits) {
        PlaceColumns(model, units, layout);
        if (layout.columns + 2 <= kPreferredWidth) break;
    }
    for (int units : kRowUnits) {
        if (PlaceRows(model, units, layout)) return layout;
    }
    // Controls that overlap in the template overlap here too; draw them anyway.
    PlaceRows(model, kRowUnits[0], layout);
    return layout;
}

struct Cell {
    std::string glyph = " ";
    bool reverse = false;
};

class Canvas {
public:
    Canvas(int rows, int columns)
        : rows_(rows), columns_(columns), cells_(static_cast<size_t>(rows) * columns) {}

    void Put(int row, int column, std::string glyph, bool reverse = false) {
        if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
        Cell& cell = cells_[static_cast<size_t>(row) * columns_ + column];
        cell.glyph = std::move(glyph);
        cell.reverse = reverse;
    }

    // Writes text from column on; returns the column after it.
    int Write(int row, int column, std::string_view text, bool reverse = false) {
        for (std::string& glyph : SplitCells(text)) Put(row, column++, std::move(glyph), reverse);
        return column;
    }

    void Fill(int row, int from, int to, const char* glyph) {
        for (int c = from; c < to; ++c) Put(row, c, glyph);
    }

    // A box with its caption in the top border: "+- caption ---+".
    void Box(int top, int bottom, int left, int right, std::string_view caption) {
        Fill(top, left, right, "-");
        Fill(bottom, left, right, "-");
        for (int r = top; r <= bottom; ++r) {
            Put(r, left, "|");
            Put(r, right - 1, "|");
        }
        for (int r : {top, bottom}) {
            Put(r, left, "+");
            Put(r, right - 1, "+");
        }
        if (!caption.empty()) {
            Put(top, left + 2, " ");
            Put(top, Write(top, left + 3, caption), " ");
        }
    }

    std::vector<std::string> Lines(RenderStyle style, int maxColumns) const {
        const int width = maxColumns > 0 ? std::min(maxColumns, columns_) : columns_;
        std::vector<std::string> lines;
        lines.reserve(rows_);
        for (int r = 0; r < rows_; ++r) {
            std::string line;
            bool reverse = false;
            for (int c = 0; c < width; ++c) {
                const Cell& cell = cells_[static_cast<size_t>(r) * columns_ + c];
                if (style == RenderStyle::kAnsi && cell.reverse != reverse) {
                    reverse = cell.reverse;
                    line += reverse ? "\x1b[7m" : "\x1b[27m";
                }
                line += cell.glyph;
            }
            if (reverse) line += "\x1b[27m";
            lines.push_back(std::move(line));
        }
        return lines;
    }

private:
    int rows_;
    int columns_;
    std::vector<Cell> cells_;
};

// The one-row text of an item in its current state.
std::string Label(const DialogModel& model, size_t index) {
    const Item& item = model.items()[index];
    const bool focused = model.focus() == index;
    const std::string marker = focused ? ">" : " ";
    switch (item.kind) {
        case ItemKind::kAutoRadioButton:
            return marker + (item.checked ? "(*) " : "( ) ") + item.caption;
        case ItemKind::kPushButton:
        case ItemKind::kDefaultPushButton:
            if (model.ActiveDefault() == index) return marker + "[[ " + item.caption + " ]]";
            return marker + " [ " + item.caption + " ] ";
        case ItemKind::kGroupBox:
        case ItemKind::kText:
            break;
    }
    return item.caption;
}

}  // namespace

std::vector<std::string> RenderDialog(const DialogModel& model, RenderStyle style, int maxColumns) {
    const Layout layout = MakeLayout(model);
    // The frame takes one cell on every side of the inside.
    Canvas canvas(layout.rows + 2, layout.columns + 2);
    canvas.Box(0, layout.rows + 1, 0, layout.columns + 2, model.caption());

    const std::vector<Item>& items = model.items();
    for (size_t i = 0; i < items.size(); ++i) {
        const Placement& place = layout.places[i];
        if (items[i].kind == ItemKind::kGroupBox) {
            canvas.Box(place.row + 1, place.bottom + 1, place.left + 1, place.right + 1,
                       items[i].caption);
        }
    }
    // Labels last, so that where a template overlaps, the text stays readable.
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind == ItemKind::kGroupBox) continue;
        const Placement& place = layout.places[i];
        canvas.Write(place.row + 1, place.left + 1, Label(model, i), model.focus() == i);
    }
    return canvas.Lines(style, maxColumns);
}

}  // namespace os::terminal
