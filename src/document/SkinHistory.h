#pragma once

#include "document/SkinState.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>

class SkinDocument;

// One step of the history: what the skin was before and after it, under the name the undo
// command shows ("цвет «ник контакта»").
class SkinStep : public QUndoCommand
{
public:
    SkinStep(SkinDocument &document, const QString &label, SkinState before, SkinState after);
    void undo() override;
    void redo() override;
    const SkinState &before() const { return m_before; }
    const SkinState &after() const { return m_after; }

private:
    SkinDocument &m_document;
    SkinState m_before;
    SkinState m_after;
    // The step is made after its change happened: the stack's first redo() has nothing to do.
    bool m_applied = true;
};

// The undo history of a document. Changes are recorded once recording is on: each change made
// outside a step is a step of its own; begin()/end() (or a Step scope) gather every change in
// between into one, such as a whole slider drag or opening a skin with its pictures. A step
// that changed nothing is not kept.
class SkinHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultLimit = 1000;

    explicit SkinHistory(SkinDocument &document);

    QUndoStack &stack() { return m_stack; }
    const QUndoStack &stack() const { return m_stack; }
    void setRecording(bool on) { m_recording = on; }
    bool recording() const { return m_recording; }

    // Opens a step named label; nested calls join the outermost one.
    void begin(const QString &label);
    // Closes the step opened by the matching begin().
    void end();
    bool inStep() const { return m_depth > 0; }

    // The step the stack's index stands after, 0..count.
    int index() const { return m_stack.index(); }
    const SkinStep *step(int i) const { return static_cast<const SkinStep *>(m_stack.command(i)); }
    // The state before the first kept step: where undoing everything leads.
    const SkinState &origin() const { return m_origin; }

    // Replaces the history: origin, then the steps (label and state after each), standing
    // after step index. The document is set to that state; nothing is recorded meanwhile.
    void replace(const SkinState &origin, const QList<std::pair<QString, SkinState>> &steps,
                 int index);
    // Forgets every step, keeping the document as it is.
    void clear();

    // A scope that is one step.
    class Step
    {
    public:
        Step(SkinHistory &history, const QString &label)
            : m_history(history)
        {
            m_history.begin(label);
        }
        ~Step() { m_history.end(); }
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        SkinHistory &m_history;
    };

signals:
    // A step was completed and pushed (the journal writes it).
    void stepRecorded();

private:
    SkinDocument &m_document;
    QUndoStack m_stack;
    bool m_recording = false;
    int m_depth = 0;
    QString m_label;
    std::optional<SkinState> m_before;
    SkinState m_origin;
};
