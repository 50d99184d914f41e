#pragma once
// The pattern editor's steps of undo and redo. A step holds only what it
// changed: the rows that left the pattern list and the rows that came in,
// with the other half of each (a pattern as it was before an edit, a name
// before a rename, a deleted row); rows it did not touch are not copied.
#include "logic/UndoHistory.h"
#include "pattern/Pattern.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// One row of the pattern list.
struct EditorRow {
    std::string Name; // Shift-JIS
    std::unique_ptr<TPatrn> Pattern;
};

// A change of the list of rows. Applying it makes the change and leaves in
// it what turns the list back, so applying it again undoes it: the editor
// records it as a step once it is applied.
class RowChange {
public:
    // Inserts rows at these positions of the list as it becomes (ascending).
    static RowChange Insert(std::vector<int> positions, std::vector<EditorRow> rows);
    // Removes the rows at these positions (ascending).
    static RowChange Remove(std::vector<int> positions);
    static RowChange Move(int from, int to);
    static RowChange Rename(int row, std::string name);
    // Puts `pattern` in the row in place of its own: with the pattern as it
    // was before an edit made in place, what turns the edit back.
    static RowChange Replace(int row, std::unique_ptr<TPatrn> pattern);

    // Changes nothing when it fails: for a list the change does not fit
    // (std::logic_error), or without the memory to rearrange the list.
    void Apply(std::vector<EditorRow>& rows);
    // Whether applying it changes names or their order, not only patterns.
    bool ChangesNames() const;
    // Roughly the memory the step holds.
    std::size_t Bytes() const;

private:
    // What the step keeps of a row that comes in; what it leaves empty comes
    // from the row leaving in the same place of the order (a row moved,
    // renamed or edited keeps its other half).
    struct Held {
        std::optional<std::string> Name;
        std::unique_ptr<TPatrn> Pattern;
    };

    std::vector<int> leave_; // positions in the list as it is, ascending
    std::vector<int> enter_; // positions in the list as it becomes, ascending
    std::vector<Held> held_; // one for each entering row
};

// The rows selected in the pattern list and the current part, as a step
// shows them.
struct EditorSelection {
    std::vector<int> Rows;
    int Part = -1;
};

struct EditorStep {
    RowChange Rows;
    EditorSelection Before; // what an undo shows
    EditorSelection After;  // what a redo shows
};
std::size_t StepBytes(const EditorStep& step);

// Roughly the memory a pattern takes.
std::size_t PatternBytes(const TPatrn& pattern);

// The editor keeps at least this many steps, within this much memory (a
// pattern may carry a gradient text of megabytes, and a 32-bit launcher
// has little room).
inline constexpr std::size_t kEditorHistorySteps = 1000;
inline constexpr std::size_t kEditorHistoryBytes = std::size_t{32} << 20;

using EditorHistory = UndoHistory<EditorStep>;

} // namespace pelmora
