#pragma once
// The framework's exception: a message and a help context. The library raises its
// errors with the negative error code as help context.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0)
        : Message(std::move(message)), HelpContext(helpContext)
    {
    }
    const char *what() const noexcept override { return Message.c_str(); }

    std::string Message;
    int HelpContext;
};
