#include "button/model/StyleHistory.h"

void StyleHistory::Reset(const ButtonStyle& style) {
    m_steps.assign(1, style);
    m_index = 0;
    m_field.clear();
}

void StyleHistory::Record(const ButtonStyle& style, const QString& field) {
    if (style == m_steps[m_index]) return;
    m_steps.resize(m_index + 1);  // a new edit drops what could be redone
    if (!field.isEmpty() && field == m_field && m_index > 0) {
        m_steps[m_index] = style;
        return;
    }
    m_steps.push_back(style);
    if (m_steps.size() > kMaxSteps) m_steps.erase(m_steps.begin());
    m_index = m_steps.size() - 1;
    m_field = field;
}

void StyleHistory::Rebase(const ButtonStyle& style) {
    m_steps[m_index] = style;
    m_field.clear();
}

ButtonStyle StyleHistory::Keep(ButtonStyle step, const ButtonStyle& current) {
    step.title = current.title;
    step.description = current.description;
    step.progId = current.progId;
    step.savedTime = current.savedTime;
    return step;
}

ButtonStyle StyleHistory::Undo(const ButtonStyle& current) {
    m_field.clear();
    if (!CanUndo()) return current;
    --m_index;
    return Keep(m_steps[m_index], current);
}

ButtonStyle StyleHistory::Redo(const ButtonStyle& current) {
    m_field.clear();
    if (!CanRedo()) return current;
    ++m_index;
    return Keep(m_steps[m_index], current);
}
