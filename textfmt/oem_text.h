// Seam: conversion of DOS (OEM code page) text to the Windows ANSI code page,
// in place. The program uses the platform's conversion; the native tests a
// fixed code page 437 table.
#pragma once

void TranslateOemText(char* text, int length);
