#pragma once

#include <exception>
#include <string>

namespace Tessor::schema {

class VException : public std::exception {
public:
    VException(std::string message, std::string file, int line, int code = 0)
        : m_message(std::move(message)), m_file(std::move(file)), m_line(line), m_code(code)
    {
    }
    const char* what() const noexcept override { return m_message.c_str(); }
    virtual const char* getName() const = 0;
    const std::string& getFile() const { return m_file; }
    int getLine() const { return m_line; }
    int getCode() const { return m_code; }

private:
    std::string m_message;
    std::string m_file;
    int m_line;
    int m_code;
};

class UsbConfigurationErr : public VException {
public:
    UsbConfigurationErr(std::string message, std::string file, int line)
        : VException(std::move(message), std::move(file), line)
    {
    }
    const char* getName() const override { return "UsbConfigurationErr"; }
};

class ProfileException : public VException {
public:
    ProfileException(std::string message, std::string file, int line, int code)
        : VException(std::move(message), std::move(file), line, code), m_profileCode(code)
    {
    }
    const char* getName() const override { return "Profile Decoding Exception"; }
    int getProfileCode() const { return m_profileCode; }

private:
    int m_profileCode;
};

class UsbDeviceException : public VException {
public:
    UsbDeviceException(std::string message, std::string file, int line, int code)
        : VException(std::move(message), std::move(file), line, code), m_deviceCode(code)
    {
    }
    const char* getName() const override { return "USB Device Initial Exception"; }
    int getDeviceCode() const { return m_deviceCode; }

private:
    int m_deviceCode;
};

}  // namespace Tessor::schema

namespace Tessor::usb {

class BitmapException : public schema::VException {
public:
    BitmapException(std::string message, std::string file, int line, int code)
        : VException(std::move(message), std::move(file), line, code)
    {
    }
    const char* getName() const override { return "Bitmap Initial Exception"; }
};

}  // namespace Tessor::usb
