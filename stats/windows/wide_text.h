// The plug-in's texts (code page 1251 bytes, as its sources are compiled) as Windows
// shows them: UTF-16, converted with the code page's own table, so that the Russian ones
// read right whatever the PC's ANSI code page is (a Ukrainian operator on a Western
// Windows too). What goes to the settings file and to the host stays in bytes.
#pragma once
#include <windows.h>

#include <string>

std::wstring wideFromCp1251(const std::string& text);
// A window's text back in code page 1251 ('?' for what it lacks), however long.
std::string windowTextCp1251(HWND window);
// Window and dialog item texts, the DXCC table's texts.
void setWindowTextCp1251(HWND window, const std::string& text);
void setItemTextCp1251(HWND dialog, int id, const std::string& text);
void textOutCp1251(HDC dc, int x, int y, const std::string& text);
