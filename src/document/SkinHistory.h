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
    void keepWithinPictureLimit();

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
    // The pictures all kept states show may take this much memory; beyond it the oldest steps
    // are dropped.
    static constexpr qint64 kDefaultPictureLimit = 200LL * 1024 * 1024;

    explicit SkinHistory(SkinDocument &document);
    ~SkinHistory() override;

    QUndoStack &stack() { return m_stack; }
    const QUndoStack &stack() const { return m_stack; }
    void setRecording(bool on) { m_recording = on; }
    bool recording() const { return m_recording; }

    // Opens a step named label; nested calls join the outermost one.
    void begin(const QString &label);
    // Closes the step opened by the matching begin().
    void end();
    bool inStep() const { return m_depth > 0; }
    // Set while the history itself moves the stack: pushing a finished step or rebuilding it.
    // Whoever follows the stack's index learns about those from stepRecorded or replace's
    // caller instead.
    bool rebuilding() const { return m_rebuilding; }

    // The step the stack's index stands after, 0..count.
    int index() const { return m_stack.index(); }
    const SkinStep *step(int i) const { return static_cast<const SkinStep *>(m_stack.command(i)); }
    // The state before the first kept step: where undoing everything leads.
    const SkinState &origin() const { return m_origin; }

    // Replaces the history: origin, then the steps (label and state after each), standing
    // after step index. The document is set to that state; nothing is recorded meanwhile.
    // Taken by value: they may be states of the steps this replaces.
    void replace(SkinState origin, QList<std::pair<QString, SkinState>> steps, int index);
    // Forgets every step, keeping the document as it is.
    void clear();
    void setPictureLimit(qint64 bytes) { m_pictureLimit = bytes; }

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
    // The stack was rebuilt by replace() or clear(): what followed it must start over.
    void rebuilt();

private:
    void keepWithinPictureLimit();

    SkinDocument &m_document;
    QUndoStack m_stack;
    bool m_recording = false;
    bool m_rebuilding = false;
    int m_depth = 0;
    QString m_label;
    std::optional<SkinState> m_before;
    SkinState m_origin;
    qint64 m_pictureLimit = kDefaultPictureLimit;
};
