#pragma once
// How the menu opens a form it only knows by class name: the form's own code registers an
// opener under its class name, and the program registers every form's opener at start. An
// opener constructs the form with the application as owner, keeps it in its global while it
// is shown modally, then deletes it and sets the global back to null, also when the creation
// or the display raises.
#include "Forms.h"
#include "KvSNMPReadBatch.h"

#include <functional>
#include <memory>
#include <string>

using FormOpener = std::function<void()>;

// Replaces any opener registered under the same name; an empty opener removes it.
void RegisterFormOpener(const std::string &formClass, FormOpener opener);
void UnregisterFormOpener(const std::string &formClass);
bool HasFormOpener(const std::string &formClass);
// Runs the opener; false (nothing happens) when none is registered. Exceptions of the
// opener pass on to the caller once the form is gone.
bool OpenRegisteredForm(const std::string &formClass);

// The opening itself, for a form class T and its global variable.
template <class T> void OpenModalForm(T *&global)
{
    // The global goes back to null before the form is deleted, so nothing reaches a form
    // being destroyed through it.
    std::unique_ptr<T> form;
    struct Reset {
        T *&global;
        ~Reset() { global = nullptr; }
    } reset{global};
    form.reset(new T(Application));
    global = form.get();
    {
        // Its reads at creation: windows stay painted, and a silent device costs one time-out.
        const KvSNMPReadBatch reads;
        form->DoCreate();
    }
    form->ShowModal();
}

// What a form's own code calls to make its menu entry work.
template <class T> void RegisterModalForm(const std::string &formClass, T *&global)
{
    T **where = &global;
    RegisterFormOpener(formClass, [where] { OpenModalForm<T>(*where); });
}
