#pragma once
// Undo and redo of the button editor: whole looks, one per step. Edits of one
// field that follow each other (typing a label, holding a spin arrow) make a
// single step until another field is touched or a step is undone.

#include "button/model/ButtonStyle.h"

#include <QString>
#include <vector>

class StyleHistory {
public:
    // Forgets every step; style is where the work starts.
    void Reset(const ButtonStyle& style);
    // The editor changed field into style.
    void Record(const ButtonStyle& style, const QString& field);
    // The work changed outside the editor (renamed, its link emptied): the
    // current step takes the new look without a step of its own.
    void Rebase(const ButtonStyle& style);
    // Ends the run of edits of the current field: the next edit is a step.
    void Seal() { m_field.clear(); }

    bool CanUndo() const { return m_index > 0; }
    bool CanRedo() const { return m_index + 1 < m_steps.size(); }
    // The look to show; what the editor does not hold (title, description,
    // saved time) stays as current has it.
    ButtonStyle Undo(const ButtonStyle& current);
    ButtonStyle Redo(const ButtonStyle& current);
    size_t StepCount() const { return m_steps.size(); }

    static constexpr size_t kMaxSteps = 200;

private:
    static ButtonStyle Keep(ButtonStyle step, const ButtonStyle& current);

    std::vector<ButtonStyle> m_steps{ButtonStyle{}};
    size_t m_index = 0;
    QString m_field;
};
