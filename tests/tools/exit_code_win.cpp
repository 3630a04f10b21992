int ExitCodeOfSystem(int status) {
    return status;
}
