#!/bin/sh
echo test installer
