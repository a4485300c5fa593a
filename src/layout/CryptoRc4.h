// The two steps of the platform's cryptographic service that the settings cipher
// needs: a session key derived from a SHA-1 hash, and RC4 run over blocks that
// continue one keystream until the final block resets it.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// The default derivation of an RC4 key from a SHA-1 hash: the first 16 bytes
// (128 bits, no salt) of SHA-1(keyBytes).
QByteArray DeriveRc4KeyFromSha1(const QByteArray &keyBytes);

class TRc4Stream
{
public:
    explicit TRc4Stream(const QByteArray &key);

    // Enciphers (or deciphers, the same operation) one block in place. After the
    // final block the keystream starts again from its beginning.
    void Process(QByteArray &block, bool final);

private:
    void Reset();

    QByteArray FKey;
    std::array<std::uint8_t, 256> FState{};
    std::uint8_t FI = 0;
    std::uint8_t FJ = 0;
};
