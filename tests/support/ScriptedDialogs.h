#pragma once

#include "launcher/ProcessRunner.h"
#include "platform/UserDialogs.h"

#include <QMutex>
#include <QStringList>

#include <deque>
#include <functional>

namespace zelvora::test {

// Answers the program's questions from a script and remembers what was asked.
class ScriptedDialogs : public UserDialogs {
public:
    QString OpenFile(QWidget*, const QString& filter, const QString& directory) override {
        filtersAsked << filter;
        directoriesAsked << directory;
        return take(files);
    }
    QString SaveFile(QWidget*, const QString& filter, const QString& file) override {
        filtersAsked << filter;
        directoriesAsked << file;
        return take(files);
    }
    // Like the real chooser, the answer ends with "/".
    QString ChooseFolder(QWidget*, const QString&, const QString& directory) override {
        directoriesAsked << directory;
        QString next = take(folders);
        if (!next.isEmpty() && !next.endsWith(QLatin1Char('/')))
            next += QLatin1Char('/');
        return next;
    }
    bool Confirm(QWidget*, const QString& title, const QString& text) override {
        questions << title + QLatin1String(": ") + text;
        return take(answers);
    }
    void Inform(QWidget*, const QString& title, const QString& text) override {
        messages << title + QLatin1String(": ") + text;
    }
    void Warn(QWidget*, const QString& title, const QString& text) override {
        warnings << title + QLatin1String(": ") + text;
    }
    bool ShowFolder(const QString& folder) override {
        foldersShown << folder;
        return true;
    }

    std::deque<QString> files;   // empty string: the user cancels
    std::deque<QString> folders; // likewise
    std::deque<bool> answers;
    QStringList filtersAsked;
    QStringList foldersShown;
    QStringList directoriesAsked;
    QStringList questions;
    QStringList messages;
    QStringList warnings;

private:
    // The next scripted answer; an empty one, like an empty script, is the user cancelling.
    template <class Answer> static Answer take(std::deque<Answer>& script) {
        if (script.empty())
            return {};
        Answer next = script.front();
        script.pop_front();
        return next;
    }
};

// Remembers every command the program runs; answers with `exitCode`, or passes the command on
// to `forward` (a real runner) when one is set. Like a real child, an answered command gives the
// caller's watch a turn while it "runs", and stands for a cancelled run when the watch gives up.
// The program runs its commands on a thread of its own: while that runs, ask LastStarted, not
// `commands`.
class RecordingRunner : public ProcessRunner {
public:
    using ProcessRunner::ExecCmd;
    ChildEnd ExecCmd(const QString& command, RunWatch& watch) override {
        started(command);
        commands << command;
        return forward ? forward->ExecCmd(command, watch) : answer(watch);
    }
    // The program asks MAME's version on its own, once per executable: kept apart from the
    // commands of what the user asked for.
    StreamedRun ExecStreaming(const QString& command, OutputReader& output) override {
        const bool version = command.endsWith(QLatin1String(" -version"));
        if (!version)
            started(command);
        (version ? versionQuestions : commands) << command;
        if (forward)
            return forward->ExecStreaming(command, output);
        const ChildEnd end = answer(output);
        return {end.exitCode, {}, false, end.signal, end.cancelled};
    }

    QString LastStarted() const {
        const QMutexLocker lock(&mutex_);
        return lastStarted_;
    }
    int Started() const {
        const QMutexLocker lock(&mutex_);
        return started_;
    }

    QStringList commands, versionQuestions;
    int exitCode = 0;
    ProcessRunner* forward = nullptr;

private:
    void started(const QString& command) {
        const QMutexLocker lock(&mutex_);
        lastStarted_ = command;
        ++started_;
    }

    mutable QMutex mutex_;
    QString lastStarted_;
    int started_ = 0;

    ChildEnd answer(RunWatch& watch) {
        const bool cancelled = !watch.Waiting();
        return {exitCode, 0, cancelled};
    }
};

} // namespace zelvora::test
