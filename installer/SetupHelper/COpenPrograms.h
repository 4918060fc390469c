// The product's windowed programs (the key-map editor, the configuration
// program) that run from the installation folder, which the setup must see
// closed before it replaces their files: Windows cannot replace the file of
// a running program. They are asked to close as a user would close them, so
// the editor can ask whether to save its changes first.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class COpenPrograms {
public:
    struct Program {
        const char* pszFile;  // in the installation folder
        const char* pszTitle; // as the user knows it
    };
    static constexpr Program PROGRAMS[] = {
        {"KV480keys.exe", "Remote Control keys"},
        {"KV480cfg.exe", "Remote Control configuration"},
    };

    // strFolder: the installation folder, with or without a final backslash.
    explicit COpenPrograms(const std::string& strFolder);

    // Which of PROGRAMS run from the folder now, one process each.
    void Find();
    bool IsEmpty() const { return m_running.empty(); }

    // Asks each to close (WM_CLOSE to its main windows). A program that
    // already shows a question (its window disabled) is not asked again.
    void AskToClose() const;
    // Waits until every one has ended or dwTimeoutMs has passed; true when
    // none runs any more.
    bool WaitUntilClosed(DWORD dwTimeoutMs);

    // What the user is told while some still run: which to close.
    std::string StillOpenText() const;
    // The files of those found (by Find) since construction, whether they
    // have ended or not: what the setup starts again afterwards.
    const std::vector<std::string>& Closed() const { return m_closed; }

private:
    struct Running {
        DWORD dwProcess;
        const Program* pProgram;
    };
    // Processes of the file per the Restart Manager, and where it answers
    // nothing (Windows before Vista, or a system without it), per the list of
    // processes with their image in the folder.
    void FindByRestartManager();
    void FindByProcessList();
    void Add(DWORD dwProcess);

    std::string m_strFolder;
    std::vector<Running> m_running;
    std::vector<std::string> m_closed;
};
