<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_DiskPartitionOnDisk: links each partition to its disk, by
     reference to both instances; every key value goes through
     escape-key-value. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="objectpath.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Disks/Disk/Partition"/>
  </xsl:template>

  <xsl:template match="Partition">
    <xsl:text>instance of Korvex_DiskPartitionOnDisk&#10;{&#10;</xsl:text>
    <xsl:text>Disk = "Korvex_Disk.DeviceID="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="../@name"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>Partition = "Korvex_DiskPartition.DeviceID="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
