package com.quillmark.sidecar;

import java.io.File;
import java.io.IOException;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;

/** Writes a file through a temporary sibling, so a failed write never leaves half a file behind. */
final class AtomicFiles {

    @FunctionalInterface
    interface Writer {
        void write(File temporary) throws Exception;
    }

    private AtomicFiles() {
    }

    static void write(Path target, Writer writer) throws Exception {
        Path dir = target.toAbsolutePath().getParent();
        if (dir != null) {
            Files.createDirectories(dir);
        }
        Path tmp = Files.createTempFile(dir, "." + target.getFileName() + ".", ".part");
        try {
            writer.write(tmp.toFile());
            move(tmp, target);
        } finally {
            Files.deleteIfExists(tmp);
        }
    }

    private static void move(Path from, Path to) throws IOException {
        try {
            Files.move(from, to, StandardCopyOption.REPLACE_EXISTING,
                    StandardCopyOption.ATOMIC_MOVE);
        } catch (AtomicMoveNotSupportedException e) {
            Files.move(from, to, StandardCopyOption.REPLACE_EXISTING);
        }
    }
}
