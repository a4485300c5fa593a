// Sets or clears environment variables for one test and restores them after.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <map>
#include <optional>

class TScopedEnvironment {
public:
    TScopedEnvironment() = default;
    TScopedEnvironment(const TScopedEnvironment &) = delete;
    TScopedEnvironment &operator=(const TScopedEnvironment &) = delete;
    ~TScopedEnvironment()
    {
        for (const auto &[name, value] : FSaved) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }

    void Set(const QByteArray &name, const QByteArray &value)
    {
        Save(name);
        qputenv(name.constData(), value);
    }

    void Unset(const QByteArray &name)
    {
        Save(name);
        qunsetenv(name.constData());
    }

private:
    void Save(const QByteArray &name)
    {
        if (FSaved.count(name) == 0)
            FSaved[name] = qEnvironmentVariableIsSet(name.constData())
                               ? std::optional<QByteArray>(qgetenv(name.constData()))
                               : std::nullopt;
    }

    std::map<QByteArray, std::optional<QByteArray>> FSaved;
};
