package com.quillmark.sidecar;

import java.io.File;
import java.io.IOException;
import java.nio.file.AccessDeniedException;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFileAttributeView;
import java.security.SecureRandom;

/**
 * Writes a file through a temporary sibling, so a failed write never leaves half a file behind.
 * The file ends up with the mode an ordinary write would give it: a replaced file keeps its
 * mode, a new one gets the default mode under the user's umask.
 */
final class AtomicFiles {

    @FunctionalInterface
    interface Writer {
        void write(File temporary) throws Exception;
    }

    /** Short, so that a target name close to the file system's limit still leaves room. */
    private static final String PREFIX = ".qm-";
    private static final String ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789";
    private static final int RANDOM_CHARS = 8;
    private static final SecureRandom RANDOM = new SecureRandom();

    private AtomicFiles() {
    }

    /**
     * Writes the file. A folder that cannot be written fails with a {@link RequestException}
     * that says so and names the file.
     */
    static void write(Path target, Writer writer) throws Exception {
        Path dir = target.toAbsolutePath().getParent();
        Path tmp;
        try {
            if (dir != null) {
                Files.createDirectories(dir);
            }
            tmp = createSibling(dir);
        } catch (FileSystemException e) {
            throw new RequestException(notWritable(target.toAbsolutePath(), e), e);
        }
        try {
            writer.write(tmp.toFile());
            keepModeOf(target, tmp); // after writing: the old mode may not allow writing
            move(tmp, target);
        } catch (Exception e) {
            // the engine's words name the hidden work file, or nothing at all
            String full = diskFull(e);
            if (full != null) {
                throw new RequestException("Cannot write \"" + target.toAbsolutePath()
                        + "\": the disk that holds it is full (" + full + ").", e);
            }
            throw e;
        } finally {
            Files.deleteIfExists(tmp);
        }
    }

    /**
     * The system's words when the failure, or one of its causes, is a disk with no space left (or
     * a quota used up); null otherwise. Some writers (the PDF library's) keep the system's error
     * in their message only, so the messages are read.
     */
    static String diskFull(Throwable t) {
        for (String words : new String[] {"No space left on device", "Disk quota exceeded"}) {
            if (Causes.first(t, Throwable.class, c -> String.valueOf(c).contains(words)) != null) {
                return words;
            }
        }
        return null;
    }

    /**
     * Says that the file cannot be written because of its folder, and why: "permission denied",
     * a file where the folder should be, or the system's reason (a read-only file system, an
     * operation not permitted, ...).
     */
    static String notWritable(Path target, FileSystemException e) {
        String reason = e.getReason() != null ? e.getReason()
                : e instanceof AccessDeniedException ? "permission denied"
                : e instanceof FileAlreadyExistsException ? "a file stands where it should be"
                : e.getClass().getSimpleName();
        return "Cannot write \"" + target + "\": its folder cannot be written (" + reason + ").";
    }

    /**
     * A new empty file beside the target. Created without explicit permissions, so the system
     * applies the umask to the usual 0666 just as for any other new file.
     */
    private static Path createSibling(Path dir) throws IOException {
        for (int attempt = 0; ; attempt++) {
            StringBuilder name = new StringBuilder(PREFIX);
            for (int i = 0; i < RANDOM_CHARS; i++) {
                name.append(ALPHABET.charAt(RANDOM.nextInt(ALPHABET.length())));
            }
            Path candidate = dir == null ? Path.of(name.toString()) : dir.resolve(name.toString());
            try {
                return Files.createFile(candidate);
            } catch (FileAlreadyExistsException e) {
                if (attempt >= 100) {
                    throw e;
                }
            }
        }
    }

    /**
     * Asks the files themselves whether they have POSIX modes: asking their file store instead
     * reads the system's whole mount table on every write.
     */
    private static void keepModeOf(Path target, Path tmp) throws IOException {
        if (!Files.isRegularFile(target, LinkOption.NOFOLLOW_LINKS)) {
            return;
        }
        PosixFileAttributeView from = Files.getFileAttributeView(target,
                PosixFileAttributeView.class, LinkOption.NOFOLLOW_LINKS);
        PosixFileAttributeView to = Files.getFileAttributeView(tmp, PosixFileAttributeView.class);
        if (from != null && to != null) {
            to.setPermissions(from.readAttributes().permissions());
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
