#include "platform/posix/terminal/render.h"

#include <algorithm>
#include <string_view>

#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

// However long its captions, a drawing is at most this many cells each way:
// more would cost memory and show nothing a terminal can.
constexpr int kLargestSide = 500;

// a / b rounded to the nearest integer, halves upwards, for the templates'
// coordinates, none of them negative.
int RoundDiv(int a, int b) { return (2 * a + b) / (2 * b); }

// One thing drawn: a box with its caption in its top border, or a line of text.
struct Piece {
    std::string text = {};                    // the line as drawn, or the box's caption
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    bool box = false;
    bool centred = false;  // a push button, centred in its width as on Windows
    bool focused = false;
    int top = 0, bottom = 0;  // rows inside the frame: a box's borders, a line's row twice
    int left = 0, right = 0;  // columns inside the frame, right one past the last
};

int RightEdge(const Piece& piece) { return piece.x + std::max(piece.width, 1); }

// The cells a piece needs across: a box's top border "+- caption -+", or a
// line's text and a blank cell after it, so that no text runs into a border.
int Need(const Piece& piece) { return CellCount(piece.text) + (piece.box ? 6 : 1); }

// What is drawn, control by control in template order, then the labels.
std::vector<Piece> PiecesOf(const KeyRules& keys, const std::vector<Label>& labels) {
    std::vector<Piece> pieces;
    const std::vector<ControlWindow>& controls = keys.dialog().controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& control = *controls[i].control;
        const std::string caption = control.caption ? control.caption : "";
        const std::string marker = keys.focus() == i ? ">" : " ";
        Piece piece{.x = control.x,
                    .y = control.y,
                    .width = control.width,
                    .height = control.height,
                    .focused = keys.focus() == i};
        switch (control.kind) {
            case ControlKind::kGroupBox:
                piece.text = caption;
                piece.box = true;
                break;
            case ControlKind::kAutoRadioButton:
                piece.text = marker + (controls[i].checked ? "(*) " : "( ) ") + caption;
                break;
            case ControlKind::kPushButton:
            case ControlKind::kDefaultPushButton:
                // Both forms take as many cells, so the layout stays as the focus moves.
                piece.text = keys.ActiveDefault() == i ? marker + "[[ " + caption + " ]]"
                                                       : marker + " [ " + caption + " ] ";
                piece.centred = true;
                break;
        }
        pieces.push_back(std::move(piece));
    }
    for (const Label& label : labels) {
        // As wide as its text, one line high.
        pieces.push_back({.text = label.text,
                          .x = label.x,
                          .y = label.y,
                          .width = kColumnUnits * CellCount(label.text),
                          .height = kRowUnits});
    }
    return pieces;
}

// Columns for every piece, and the columns inside the frame. Distinct edges
// keep at least one column between them, so that a control inside a group
// box never lands on its border, and each right edge moves right as far as
// the text before it needs.
int PlaceColumns(const DialogTemplate& dialog, std::vector<Piece>& pieces) {
    std::vector<int> edges = {0, dialog.width};
    for (const Piece& piece : pieces) {
        edges.push_back(piece.x);
        edges.push_back(RightEdge(piece));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<int> columns(edges.size(), 0);
    const auto columnOf = [&](int edge) {
        return columns[std::lower_bound(edges.begin(), edges.end(), edge) - edges.begin()];
    };
    for (size_t k = 1; k < edges.size(); ++k) {
        int column = columns[k - 1] + std::max(1, RoundDiv(edges[k] - edges[k - 1], kColumnUnits));
        for (const Piece& piece : pieces) {
            if (RightEdge(piece) == edges[k])
                column = std::max(column, columnOf(piece.x) + Need(piece));
        }
        columns[k] = column;
    }
    for (Piece& piece : pieces) {
        piece.left = columnOf(piece.x);
        piece.right = columnOf(RightEdge(piece));
        if (piece.centred) piece.left += (piece.right - piece.left - Need(piece)) / 2;
    }
    return std::max(columns.back(), CellCount(dialog.caption ? dialog.caption : "") + 4);
}

// Rows for every piece: a line on the row of its middle, a box's borders on
// the rows of its edges. Returns the rows inside the frame.
int PlaceRows(const DialogTemplate& dialog, std::vector<Piece>& pieces) {
    int rows = RoundDiv(dialog.height, kRowUnits);
    for (Piece& piece : pieces) {
        if (piece.box) {
            piece.top = RoundDiv(piece.y, kRowUnits);
            piece.bottom = RoundDiv(piece.y + piece.height, kRowUnits);
        } else {
            piece.top = piece.bottom = RoundDiv(2 * piece.y + piece.height, 2 * kRowUnits);
        }
        rows = std::max(rows, piece.bottom + 1);
    }
    return rows;
}

// The drawing's cells, row by row: a glyph each, and whether it is in
// reverse video.
class Canvas {
public:
    Canvas(int rows, int columns)
        : cells_(std::min(rows, kLargestSide), std::vector<Cell>(std::min(columns, kLargestSide))) {
    }

    void Put(int row, int column, std::string glyph, bool reverse = false) {
        // Anything off the canvas (cut at its largest side) is not drawn.
        if (row < 0 || column < 0 || static_cast<size_t>(row) >= cells_.size() ||
            static_cast<size_t>(column) >= cells_[row].size()) {
            return;
        }
        cells_[row][column] = {std::move(glyph), reverse};
    }

    // Writes text from column on; returns the column after it.
    int Write(int row, int column, std::string_view text, bool reverse = false) {
        for (std::string& glyph : SplitCells(text)) Put(row, column++, std::move(glyph), reverse);
        return column;
    }

    // A box with its caption in the top border: "+- caption ---+".
    void Box(int top, int bottom, int left, int right, std::string_view caption) {
        for (int c = left; c < right; ++c) {
            Put(top, c, "-");
            Put(bottom, c, "-");
        }
        for (int r = top; r <= bottom; ++r) {
            const char* side = r == top || r == bottom ? "+" : "|";
            Put(r, left, side);
            Put(r, right - 1, side);
        }
        if (!caption.empty()) {
            Put(top, left + 2, " ");
            Put(top, Write(top, left + 3, caption), " ");
        }
    }

    std::vector<std::string> Lines(RenderStyle style, int maxColumns) const {
        std::vector<std::string> lines;
        for (const std::vector<Cell>& row : cells_) {
            const size_t width =
                maxColumns > 0 ? std::min<size_t>(maxColumns, row.size()) : row.size();
            std::string line;
            bool reverse = false;
            for (size_t c = 0; c < width; ++c) {
                if (style == RenderStyle::kAnsi && row[c].reverse != reverse) {
                    reverse = row[c].reverse;
                    line += reverse ? "\x1b[7m" : "\x1b[27m";
                }
                line += row[c].glyph;
            }
            if (reverse) line += "\x1b[27m";
            lines.push_back(std::move(line));
        }
        return lines;
    }

private:
    struct Cell {
        std::string glyph = " ";
        bool reverse = false;
    };
    std::vector<std::vector<Cell>> cells_;
};

}  // namespace

std::vector<std::string> RenderDialog(const KeyRules& keys, const std::vector<Label>& labels,
                                      RenderStyle style, int maxColumns) {
    const DialogTemplate& dialog = keys.dialog().dialogTemplate;
    std::vector<Piece> pieces = PiecesOf(keys, labels);
    const int columns = PlaceColumns(dialog, pieces);
    const int rows = PlaceRows(dialog, pieces);
    // The frame takes one cell on every side of the inside.
    Canvas canvas(rows + 2, columns + 2);
    canvas.Box(0, rows + 1, 0, columns + 2, dialog.caption ? dialog.caption : "");
    for (const Piece& piece : pieces) {
        if (piece.box) {
            canvas.Box(piece.top + 1, piece.bottom + 1, piece.left + 1, piece.right + 1,
                       piece.text);
        }
    }
    // Lines last, so that where a template overlaps, the text stays readable.
    for (const Piece& piece : pieces) {
        if (!piece.box) canvas.Write(piece.top + 1, piece.left + 1, piece.text, piece.focused);
    }
    return canvas.Lines(style, maxColumns);
}

}  // namespace os::terminal
